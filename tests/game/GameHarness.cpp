// The headless game harness (see GameHarness.h).
#include "tests/game/GameHarness.h"

#include <unistd.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <stdexcept>

#include "audio/Audio.h"
#include "audio/Sound.h"
#include "framework/App.h"
#include "framework/GameDelegate.h"
#include "framework/Random.h"
#include "framework/Startup.h"
#include "game/Globals.h"
#include "graphics/Graphics.h"
#include "host/Files.h"
#include "platform/glfw/Glfw2.h"
#include "platform/glfw/GlfwGame.h"
#include "tests/support/Display.h"

namespace fs = std::filesystem;

// The desktop host with its window replaced (a new window resizes the headless renderer) and time
// the tests drive: a window that is always open and focused, and a clock that only moves when the
// harness moves it.
class HarnessHost : public XQGlfwGame {
 public:
  double Now() override { return seconds; }
  void PollEvents() override {}
  XQWindowState WindowState() override { return {}; }
  bool SetGlfwWindow(int width, int height, int, int, int, int, int, int,
                     bool fullscreen) override {
    if (fullscreen && refuseFullScreen) return false;  // the window it had stays
    if (width <= 0 || height <= 0) {
      // No display: the desktop mode reads 0 x 0; full screen takes the harness's desktop.
      width = desktopWidth;
      height = desktopHeight;
    }
    ++windowsOpened;
    fullScreenNow = fullscreen;
    if (graphics) graphics->SetSize(width, height);
    return true;
  }
  bool FullScreen() override { return fullScreenNow; }
  float PixelsPerPoint() override { return page.pixelsPerPoint; }
  bool KeepsShape() override { return page.on; }
  bool CanQuit() override { return !page.on; }
  void SafeInsets(int* left, int* top, int* right, int* bottom) override {
    *left = page.insets[0];
    *top = page.insets[1];
    *right = page.insets[2];
    *bottom = page.insets[3];
  }
  bool PollJoystick(int port, Array<float> joyx, Array<float> joyy, Array<float> joyz,
                    Array<bool> buttons) override {
    if (!joysticks) return false;
    return XQGlfwGame::PollJoystick(port, joyx, joyy, joyz, buttons);
  }

  std::shared_ptr<gxtkGraphics> graphics;
  int desktopWidth = 1280;
  int desktopHeight = 1024;
  int windowsOpened = 0;
  bool joysticks = false;
  bool refuseFullScreen = false;
  bool fullScreenNow = false;
  GameHarness::Page page;
  double seconds = 100.0;
};

// The real OpenAL device, logging the channel commands the game gives it.
class RecordingAudio : public gxtkAudio {
 public:
  int PlaySample(const std::shared_ptr<gxtkSample>& sample, int channel, int flags) override {
    int slot = -1;
    if (app != nullptr && sample != nullptr) {
      for (int s = 0; s < app->sounds.Length(); ++s) {
        const auto& sound = app->sounds[s];
        if (sound != nullptr && sound->sample == sample) {
          slot = s;
          break;
        }
      }
    }
    log.push_back({SoundCommand::kPlay, channel, 0, slot});
    return gxtkAudio::PlaySample(sample, channel, flags);
  }
  int StopChannel(int channel) override {
    log.push_back({SoundCommand::kStop, channel, 0, -1});
    return gxtkAudio::StopChannel(channel);
  }
  int SetRate(int channel, float rate) override {
    log.push_back({SoundCommand::kRate, channel, rate, -1});
    return gxtkAudio::SetRate(channel, rate);
  }
  int SetVolume(int channel, float volume) override {
    log.push_back({SoundCommand::kVolume, channel, volume, -1});
    return gxtkAudio::SetVolume(channel, volume);
  }
  int SetPan(int channel, float pan) override {
    log.push_back({SoundCommand::kPan, channel, pan, -1});
    return gxtkAudio::SetPan(channel, pan);
  }

  c_MyApp* app = nullptr;
  std::vector<SoundCommand> log;
};

namespace {

std::string DataFolder() {
  const char* fromEnv = std::getenv("DROMMEL_BINARY_DIR");
  std::string binary = fromEnv != nullptr && *fromEnv != 0 ? fromEnv : "";
#ifdef DROMMEL_BINARY_DIR
  if (binary.empty()) binary = DROMMEL_BINARY_DIR;
#endif
  return binary + "/data";
}

// The folder of the harness alive now, removed at exit too: the game ends the process itself on
// F4, the close key and back in the menu (tests check that with EXPECT_EXIT).
std::string liveFolder;

void RemoveLiveFolder() {
  std::error_code ignored;
  if (!liveFolder.empty()) fs::remove_all(liveFolder, ignored);
}

}  // namespace

GameHarness::GameHarness() : GameHarness(Options{}) {}

GameHarness::GameHarness(const Options& options) {
  Start(options);
}

void GameHarness::Start(const Options& options) {
  if (options.window) {
    // Before anything else, so that a missing display changes nothing. GLFW then stays
    // initialised for the rest of the process: terminating it unloads the OpenGL driver, whose
    // process-long allocations would read as leaks of an unknown module.
    static const bool glfwReady = InitGlfw();
    if (!glfwReady) throw std::runtime_error("cannot open the display");
  }
  // OpenAL Soft without a sound card: the null backend mixes and discards.
  setenv("ALSOFT_DRIVERS", "null", 1);

  previousFolder_ = fs::current_path().string();
  std::string pattern = (fs::temp_directory_path() / "drommel-game-XXXXXX").string();
  if (mkdtemp(pattern.data()) == nullptr)
    throw std::runtime_error("cannot make a temporary folder");
  folder_ = pattern;
  static const bool cleanupRegistered = std::atexit(RemoveLiveFolder) == 0;
  (void)cleanupRegistered;
  liveFolder = folder_;
  std::error_code ignored;
  fs::create_directory_symlink(DataFolder(), fs::path(folder_) / "data", ignored);
  fs::current_path(folder_);
  if (options.state) WriteStateText(*options.state);
  if (options.prepare) options.prepare();

  host_ = std::make_unique<HarnessHost>();
  host_->desktopWidth = options.desktopWidth;
  host_->desktopHeight = options.desktopHeight;
  host_->refuseFullScreen = options.fullScreenRefused;
  host_->page = options.page;
  host_->SetRenderApi(options.renderer);
  host_->SetWindowSize(kDesignWidth, kDesignHeight);

  xq_framework_Init();
  xq_Drommel_Init();

  app_ = std::make_shared<c_MyApp>();
  xq_app_Create(app_);
  if (options.window) {
    window_ = true;
    if (options.renderer == XQRenderApi::kEs2) {
      glfw2::OpenWindowHint(glfw2::OPENGL_PROFILE, glfw2::OPENGL_ES2_PROFILE);
    }
    glfw2::OpenWindow(options.width, options.height, 8, 8, 8, 0, 0, 0,
                      options.fullScreen ? glfw2::FULLSCREEN : glfw2::WINDOW);
    graphics_ = std::make_shared<gxtkGraphics>();
  } else {
    graphics_ = std::make_shared<gxtkGraphics>(options.width, options.height, true);
  }
  host_->graphics = graphics_;
  audio_ = std::make_shared<RecordingAudio>();
  audio_->app = app_.get();
  xq_app_delegate->makeGraphics = [this] { return graphics_; };
  xq_app_delegate->makeAudio = [this] { return audio_; };
  host_->StartGame();
}

GameHarness::~GameHarness() {
  glfw2::testing::RemoveAllJoysticks();
  xq_app_Release();
  app_.reset();
  audio_.reset();
  graphics_.reset();
  host_.reset();
  if (window_) glfw2::CloseWindow();
  std::error_code ignored;
  fs::current_path(previousFolder_, ignored);
  fs::remove_all(folder_, ignored);
  liveFolder.clear();
}

void GameHarness::Update(int n) {
  for (int i = 0; i < n; ++i) {
    host_->seconds += 1.0 / 60.0;
    host_->UpdateGame();
  }
}

void GameHarness::StartSafeGame() {
  c_MyApp& app = App();
  xq_random_Seed = 1234;
  app.gameType = 1;
  app.gameMode = Mode::NewGame;
  Update();
  for (int n = 0; n <= Spikes::LastColumn; ++n) app.spikes[n] = 12;
  KeyDown(Key::Space);
}

void GameHarness::Render() {
  host_->RenderGame();
}

void GameHarness::Step(int n) {
  for (int i = 0; i < n; ++i) {
    Update();
    Render();
  }
}

int GameHarness::FinishLoading() {
  Render();
  int steps = 0;
  while (app_->loading > 0 && steps < 1000) {
    Step();
    ++steps;
  }
  return steps;
}

Array<int> GameHarness::ReadFrame() {
  graphics_->BeginRender();
  xq_graphics_BeginRender();
  app_->p_OnRender();
  const int w = graphics_->Width();
  const int h = graphics_->Height();
  Array<int> pixels(w * h);
  graphics_->ReadPixels(pixels, 0, 0, w, h, 0, w);
  xq_graphics_EndRender();
  graphics_->EndRender();
  return pixels;
}

void GameHarness::Suspend() {
  host_->SuspendGame();
}
void GameHarness::Resume() {
  host_->ResumeGame();
}
void GameHarness::Resize(int width, int height) {
  graphics_->SetSize(width, height);
}
void GameHarness::AdvanceClock(double seconds) {
  host_->seconds += seconds;
}

void GameHarness::KeyDown(int code) {
  host_->KeyEvent(kEventKeyDown, code);
}
void GameHarness::KeyUp(int code) {
  host_->KeyEvent(kEventKeyUp, code);
}

void GameHarness::Hold(int code, int steps) {
  KeyDown(code);
  Step(steps);
  KeyUp(code);
}

void GameHarness::Tap(int code) {
  KeyDown(code);
  KeyUp(code);
  Step();
}

void GameHarness::LeaveFullScreenOutside() {
  host_->fullScreenNow = false;
  if (host_->graphics) host_->graphics->SetSize(640, 480);
}

void GameHarness::TypeChar(int chr) {
  host_->KeyEvent(kEventKeyChar, chr);
}

void GameHarness::MouseMove(float x, float y) {
  host_->MouseEvent(kEventMouseMove, 0, x, y);
}

void GameHarness::MouseDown(float x, float y, int button) {
  host_->MouseEvent(kEventMouseMove, 0, x, y);
  host_->MouseEvent(kEventMouseDown, button, x, y);
}

void GameHarness::TouchDown(int finger, float x, float y) {
  host_->TouchEvent(kEventTouchDown, finger, x, y);
}

void GameHarness::TouchUp(int finger) {
  host_->TouchEvent(kEventTouchUp, finger, 0, 0);
}

void GameHarness::MouseUp(int button) {
  host_->MouseEvent(kEventMouseUp, button, 0, 0);
}

void GameHarness::Click(float x, float y, int steps) {
  MouseDown(x, y);
  Step(steps);
  MouseUp();
}

void GameHarness::SetJoystick(int port, std::vector<float> axes,
                              std::vector<unsigned char> buttons) {
  glfw2::testing::SetJoystick(port, std::move(axes), std::move(buttons));
  host_->joysticks = true;
}

void GameHarness::SetGamepad(int port, const glfw2::testing::GamepadState& pad) {
  glfw2::testing::SetGamepad(port, pad);
  host_->joysticks = true;
}

void GameHarness::Unplug(int port) {
  glfw2::testing::RemoveJoystick(port);
}

std::vector<DrawRecord> GameHarness::Records() const {
  std::vector<DrawRecord> records;
  const float* list = app_->drawList.Data();
  for (int at = 0; at + kRecordFloats <= app_->drawCount; at += kRecordFloats) {
    records.push_back(DrawRecord::Read(list + at));
  }
  return records;
}

std::vector<DrawRecord> GameHarness::ImageRecords(int slot) const {
  std::vector<DrawRecord> result;
  for (const DrawRecord& r : Records()) {
    if (r.IsImage(slot)) result.push_back(r);
  }
  return result;
}

std::string GameHarness::Glyphs() const {
  std::string glyphs;
  for (const DrawRecord& r : ImageRecords(app_->fontSlot)) {
    glyphs += static_cast<char>(static_cast<int>(r.frame) + 32);
  }
  return glyphs;
}

bool GameHarness::HasText(const std::string& text) const {
  std::string wanted;
  for (char c : text) {
    if (c != ' ') wanted += c;
  }
  return Glyphs().find(wanted) != std::string::npos;
}

std::string GameHarness::StateText() const {
  std::ifstream in(fs::path(folder_) / ".kestrostate", std::ios::binary);
  if (!in) return {};
  std::ostringstream text;
  text << in.rdbuf();
  return text.str();
}

void GameHarness::WriteStateText(const std::string& text) const {
  std::ofstream out(fs::path(folder_) / ".kestrostate", std::ios::binary | std::ios::trunc);
  out << text;
}

const std::vector<SoundCommand>& GameHarness::SoundLog() const {
  return audio_->log;
}

std::vector<int> GameHarness::SoundsPlayed() const {
  std::vector<int> slots;
  for (const SoundCommand& c : audio_->log) {
    if (c.kind == SoundCommand::kPlay) slots.push_back(c.slot);
  }
  return slots;
}

void GameHarness::ClearSoundLog() {
  audio_->log.clear();
}
