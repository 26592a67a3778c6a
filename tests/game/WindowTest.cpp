// The real program in a real window, started by the tests' launcher: without a display, on one
// that cannot give it an OpenGL window, or on one that never answers, it says so and fails; with
// one it opens its 640 x 480 window, ends with status 0 when a window manager asks the window to
// close (WM_DELETE_WINDOW, sent by a small X client), loads and reaches the main menu, shows the
// debug line on F1, switches to full screen and back on F11 (reloading its images for each size)
// and ends with status 0 on F4. A second copy in the same folder is refused; data files that are
// refused are named. Keys are real X input (xdotool), held for several updates; the window is read
// back with ImageMagick's import. Needs DISPLAY (an Xvfb screen of 1280 x 1024 in the test script).
#include <fcntl.h>
#include <gtest/gtest.h>
#include <poll.h>
#include <signal.h>
#include <sys/socket.h>
#include <sys/un.h>
#include <unistd.h>

#include <algorithm>
#include <chrono>
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <optional>
#include <string>
#include <thread>

#include "tests/audio/WavBuilder.h"
#include "tests/platform/glfw/XClient.h"
#include "tests/support/Process.h"
#include "tests/support/Program.h"
#include "tests/support/Screen.h"
#include "tests/support/TempDir.h"

namespace {

namespace fs = std::filesystem;
using namespace std::chrono_literals;

constexpr auto kWindowLimit = 20s;
constexpr auto kExitLimit = 10s;

int Lines(const std::string& text) {
  return static_cast<int>(std::count(text.begin(), text.end(), '\n'));
}

int Count(const std::string& text, const std::string& what) {
  int count = 0;
  for (size_t at = text.find(what); at != std::string::npos; at = text.find(what, at + 1)) ++count;
  return count;
}

TEST(Program, WithoutADisplayItSaysSoAndWhyAndFails) {
  TempDir folder;
  Program::Options options = Program::Game(folder.Path());
  options.unset = {"DISPLAY", "WAYLAND_DISPLAY"};
  Program program(options);
  ASSERT_TRUE(program.Started());
  EXPECT_EQ(program.WaitForExit(kExitLimit), 255) << program.Report("starting without a display");
  // The line as it always was, then GLFW's reason on the next.
  const std::string out = program.Log();
  EXPECT_EQ(out.rfind("glfwInit failed\n", 0), 0u) << out;
  EXPECT_NE(out.find("DISPLAY"), std::string::npos) << out;
  EXPECT_EQ(Lines(out), 2) << out;
}

// A display that takes the connection and never says a word (a stale forwarding, a wedged
// server): a listening socket where the X client looks first, on a display number of its own.
class SilentDisplay {
 public:
  SilentDisplay() {
    for (int number = 470; number < 520 && display_.empty(); ++number) {
      const int fd = socket(AF_UNIX, SOCK_STREAM | SOCK_CLOEXEC, 0);
      sockaddr_un address{};
      address.sun_family = AF_UNIX;
      const std::string name = "/tmp/.X11-unix/X" + std::to_string(number);
      std::copy(name.begin(), name.end(), address.sun_path + 1);  // abstract: no file
      const auto size = static_cast<socklen_t>(offsetof(sockaddr_un, sun_path) + 1 + name.size());
      if (bind(fd, reinterpret_cast<sockaddr*>(&address), size) == 0 && listen(fd, 8) == 0) {
        fd_ = fd;
        display_ = ":" + std::to_string(number);
      } else {
        close(fd);
      }
    }
  }
  ~SilentDisplay() {
    if (fd_ >= 0) close(fd_);
  }
  SilentDisplay(const SilentDisplay&) = delete;
  SilentDisplay& operator=(const SilentDisplay&) = delete;
  const std::string& Display() const { return display_; }

 private:
  int fd_ = -1;
  std::string display_;
};

TEST(Program, ADisplayThatNeverAnswersEndsTheStartWithinItsBound) {
  const SilentDisplay display;
  ASSERT_FALSE(display.Display().empty()) << "no free display number";
  TempDir folder;
  Program::Options options = Program::Game(folder.Path());
  options.unset = {"WAYLAND_DISPLAY"};
  options.set.push_back("DISPLAY=" + display.Display());
  Program program(options);
  ASSERT_TRUE(program.Started());
  // The bound is 15 s from the start; before, the game waited for ever.
  EXPECT_EQ(program.WaitForExit(30s), 255) << program.Report("starting on a silent display");
  const std::string out = program.Log();
  EXPECT_EQ(out, "The display " + display.Display() +
                     " did not open the game's window within 15 seconds; giving up\n");
}

// Before anything opens: a renderer it does not know is named in one line, and the program ends.
TEST(Program, AnUnknownRendererIsNamedAndRefused) {
  for (const char* value : {"gl2", "ES2", "es2 "}) {
    TempDir folder;
    Program::Options options = Program::Game(folder.Path());
    options.set.push_back(std::string("DROMMEL_RENDERER=") + value);
    Program program(options);
    ASSERT_TRUE(program.Started());
    EXPECT_EQ(program.WaitForExit(kExitLimit), 255) << program.Report(value);
    EXPECT_EQ(program.Log(), "Unknown renderer \"" + std::string(value) +
                                 "\" in DROMMEL_RENDERER: use gl1 or es2\n");
  }
}

// An X server of its own without the GLX extension, on a display number it picks itself.
class ServerWithoutGlx {
 public:
  ServerWithoutGlx() {
    int fds[2];
    if (pipe(fds) != 0) return;
    pid_ = fork();
    if (pid_ == 0) {
      const int devNull = open("/dev/null", O_RDWR);
      dup2(devNull, STDIN_FILENO);
      dup2(devNull, STDOUT_FILENO);
      dup2(devNull, STDERR_FILENO);
      close(fds[0]);
      const std::string fd = std::to_string(fds[1]);
      execlp("Xvfb", "Xvfb", "-displayfd", fd.c_str(), "-extension", "GLX", "-screen", "0",
             "640x480x24", "-nolisten", "tcp", static_cast<char*>(nullptr));
      _exit(127);
    }
    close(fds[1]);
    // The server writes its display number and a newline once it accepts clients; the pipe stays
    // open for as long as it runs, since a write into a closed pipe would end it.
    numberFd_ = fds[0];
    std::string number;
    pollfd ready{numberFd_, POLLIN, 0};
    char c = 0;
    while (pid_ > 0 && poll(&ready, 1, 20000) == 1 && read(numberFd_, &c, 1) == 1 && c != '\n') {
      number += c;
    }
    if (c == '\n' && !number.empty()) display_ = ":" + number;
  }
  ~ServerWithoutGlx() {
    if (pid_ > 0) {
      kill(pid_, SIGTERM);
      WaitForExit(pid_, std::chrono::seconds(10));
    }
    if (numberFd_ >= 0) close(numberFd_);
  }
  ServerWithoutGlx(const ServerWithoutGlx&) = delete;
  ServerWithoutGlx& operator=(const ServerWithoutGlx&) = delete;
  const std::string& Display() const { return display_; }

 private:
  pid_t pid_ = -1;
  int numberFd_ = -1;
  std::string display_;
};

TEST(Program, WhenNoWindowCanBeOpenedItSaysWhyAndFails) {
  if (std::system("command -v Xvfb >/dev/null") != 0) GTEST_SKIP() << "needs Xvfb";
  const ServerWithoutGlx server;
  ASSERT_FALSE(server.Display().empty()) << "Xvfb did not start";
  TempDir folder;
  Program::Options options = Program::Game(folder.Path());
  options.unset = {"WAYLAND_DISPLAY"};
  options.set.push_back("DISPLAY=" + server.Display());
  Program program(options);
  ASSERT_TRUE(program.Started());
  EXPECT_EQ(program.WaitForExit(kWindowLimit), 255) << program.Report("starting without GLX");
  // One line: what failed, then GLFW's own words.
  const std::string out = program.Log();
  EXPECT_EQ(out.rfind("Cannot open the 640x480 window: GLX: ", 0), 0u) << out;
  EXPECT_EQ(Lines(out), 1) << out;
}

class GameWindow : public testing::Test {
 protected:
  void SetUp() override {
    if (std::getenv("DISPLAY") == nullptr) GTEST_SKIP() << "needs DISPLAY";
    PrepareFolder();
    program_.emplace(Program::Game(folder_.Path()));
    ASSERT_TRUE(program_->Started());
    window_ = program_->WaitForWindow(kWindowLimit);
    ASSERT_FALSE(window_.empty()) << program_->Report("waiting for the window");
  }

  // What the folder holds before the program starts (the build's data is linked in when no data
  // folder is there).
  virtual void PrepareFolder() {}

  // The program's visible window, searched again each time: a change of window (full screen and
  // back) makes a new one, found by its process.
  std::string CurrentWindow() { return program_->WaitForWindow(5s); }

  // Holds a key for several updates (a press and release inside one update is never "held").
  void HoldKey(const std::string& name) {
    const ToolResult down = RunTool("xdotool keydown " + name);
    std::this_thread::sleep_for(150ms);
    const ToolResult up = RunTool("xdotool keyup " + name);
    std::this_thread::sleep_for(100ms);
    EXPECT_TRUE(down.Ok() && up.Ok())
        << "pressing " << name << ": xdotool " << down.Describe() << " / " << up.Describe();
  }

  // A picture of the current window; an empty one, with the reason recorded as a failure, when
  // none can be taken.
  Picture Look(const std::string& step) {
    const Shot shot = Capture(CurrentWindow(), folder_.Path(step + ".png"));
    if (!shot.error.empty())
      ADD_FAILURE() << step << ": " << shot.error << "; " << program_->Report("taking the picture");
    return shot.picture;
  }

  // The new window (full screen or back) may take a moment to appear and is not focused by itself
  // under a bare X server (an unfocused game is suspended): focus it until the menu's dark blue
  // fills the bottom-left corner of a window `width` pixels wide.
  bool FocusUntilMenu(int width, std::chrono::milliseconds limit) {
    const auto end = std::chrono::steady_clock::now() + limit;
    int tries = 0;
    while (std::chrono::steady_clock::now() < end && program_->Running()) {
      const std::string window = CurrentWindow();
      if (window.empty()) continue;
      Focus(window);
      const Shot shot = Capture(window, folder_.Path("menu-" + std::to_string(++tries) + ".png"));
      const Picture& p = shot.picture;
      const Rgb corner = p.At(4, p.height - 10);
      lastSeen_ = "window " + window + ": " + (shot.error.empty() ? "" : shot.error + "; ") +
                  std::to_string(p.width) + " x " + std::to_string(p.height) + ", corner " +
                  std::to_string(corner.r) + "," + std::to_string(corner.g) + "," +
                  std::to_string(corner.b);
      if (p.width == width && Near(corner, 0, 0, 80, 2)) return true;
      std::this_thread::sleep_for(100ms);
    }
    return false;
  }

  // Gives the window the keyboard focus and waits until the X server says it has it; an unfocused
  // game is suspended and its last picture stays on the screen, so a picture alone cannot tell.
  bool Focus(const std::string& window) {
    for (int i = 0; i < 20; ++i) {
      RunTool("xdotool windowfocus --sync " + window + " 2>/dev/null", 5s);
      if (ShellOutput("xdotool getwindowfocus 2>/dev/null", 5s) == window + "\n") {
        std::this_thread::sleep_for(200ms);  // a few updates for the game to resume
        return true;
      }
      std::this_thread::sleep_for(100ms);
    }
    return false;
  }

  // The width of the program's window as the X server has it; 0 when there is none.
  int WindowWidth() {
    int width = 0, height = 0;
    const std::string window = CurrentWindow();
    if (window.empty() || !WindowSize(std::stoul(window), &width, &height)) return 0;
    return width;
  }

  // F11 on the focused game until its window is `width` pixels wide (a key that reached the game
  // before it was active again is pressed once more), then the menu in the new window.
  bool SwitchTo(int width) {
    for (int press = 0; press < 3 && WindowWidth() != width; ++press) {
      const std::string window = CurrentWindow();
      const bool focused = !window.empty() && Focus(window);
      if (!focused) continue;
      // A tap, not a hold: the key is let go as the old window closes, so the X server's
      // auto-repeat of a key still down would reach the new window as a fresh press and switch
      // back.
      const ToolResult tap = RunTool("xdotool key F11");
      EXPECT_TRUE(tap.Ok()) << "pressing F11: xdotool " << tap.Describe();
      const auto end = std::chrono::steady_clock::now() + 8s;
      while (WindowWidth() != width && std::chrono::steady_clock::now() < end) {
        std::this_thread::sleep_for(100ms);
      }
    }
    return FocusUntilMenu(width, 30s);
  }

  // How many pixels of the rectangle differ from the menu's blue.
  static int OtherThanMenuBlue(const Picture& p, int x, int y, int w, int h) {
    int other = 0;
    for (int j = y; j < y + h; ++j)
      for (int i = x; i < x + w; ++i) other += Near(p.At(i, j), 0, 0, 80, 2) ? 0 : 1;
    return other;
  }

  TempDir folder_;
  std::optional<Program> program_;
  std::string window_;
  std::string lastSeen_;  // what FocusUntilMenu saw last, for failure messages
};

TEST_F(GameWindow, OpensAt640By480AndEndsWhenTheWindowIsClosed) {
  const unsigned long window = std::stoul(window_);
  int width = 0, height = 0;
  ASSERT_TRUE(WindowSize(window, &width, &height));
  EXPECT_EQ(width, 640);
  EXPECT_EQ(height, 480);
  SendDeleteWindow(window);  // what a window manager sends for the close button
  EXPECT_EQ(program_->WaitForExit(kExitLimit), 0) << program_->Report("closing the window");
}

TEST_F(GameWindow, LoadsShowsTheMenuAndAnswersTheFunctionKeys) {
  // The loader finishes within a few tenths of a second and the menu's dark blue fills the window.
  ASSERT_TRUE(FocusUntilMenu(640, 15s)) << program_->Report("waiting for the main menu");

  // F1: the debug line at the bottom left.
  EXPECT_EQ(OtherThanMenuBlue(Look("f1-before"), 10, 455, 60, 14), 0);
  HoldKey("F1");
  std::this_thread::sleep_for(200ms);
  EXPECT_GT(OtherThanMenuBlue(Look("f1-on"), 10, 455, 60, 14), 20);
  HoldKey("F1");
  std::this_thread::sleep_for(200ms);
  EXPECT_EQ(OtherThanMenuBlue(Look("f1-off"), 10, 455, 60, 14), 0);

  // F11: full screen at the desktop's size; the images reload for it and the menu comes back.
  EXPECT_TRUE(SwitchTo(1280)) << lastSeen_ << "; " << program_->Report("no menu in full screen");
  // And back to a window of 640 x 480.
  EXPECT_TRUE(SwitchTo(640)) << lastSeen_ << "; "
                             << program_->Report("no menu after leaving full screen");

  // F4 ends the program at once with status 0.
  HoldKey("F4");
  EXPECT_EQ(program_->WaitForExit(kExitLimit), 0) << program_->Report("pressing F4");
}

// Two copies in one folder would each save a table without the other's games, and a starting
// copy used to delete the temporary file the running one was about to rename into place.
TEST_F(GameWindow, ASecondCopyInTheSameFolderIsRefusedWhileTheFirstPlaysOnAndSaves) {
  // An unfocused game is suspended, which saves.
  DropFocus();
  const fs::path state = folder_.Path(".kestrostate");
  const auto saved = [&] {
    for (int i = 0; i < 100 && !fs::exists(state); ++i) std::this_thread::sleep_for(100ms);
    return fs::exists(state);
  };
  ASSERT_TRUE(saved()) << program_->Report("waiting for the first save");
  const fs::path inFlight = folder_.Path(".kestrostate.Ab12Cd");  // as if mid-save
  std::ofstream(inFlight) << "1|";

  Program second(Program::Game(folder_.Path(), {}));
  ASSERT_TRUE(second.Started());
  EXPECT_EQ(second.WaitForExit(kExitLimit), 1) << second.Report("starting a second copy");
  const std::string out = second.Log();
  EXPECT_EQ(out.rfind("Drommel is already running in " + folder_.Path().string() + "; ", 0), 0u)
      << out;
  EXPECT_EQ(Lines(out), 1) << out;
  EXPECT_TRUE(fs::exists(inFlight));

  // The first plays on: it comes to the menu when focused, and saves again when it loses focus.
  ASSERT_TRUE(FocusUntilMenu(640, 15s)) << program_->Report("waiting for the main menu");
  fs::remove(state);
  DropFocus();
  ASSERT_TRUE(saved()) << program_->Report("waiting for the save on losing focus");
  std::string record;
  std::getline(std::ifstream(state), record);
  EXPECT_EQ(Count(record, "|"), 56) << record;
  SendDeleteWindow(std::stoul(window_));
  EXPECT_EQ(program_->WaitForExit(kExitLimit), 0) << program_->Report("closing the window");
}

// Data files in place of the jingle and the world image that are refused from their headers: a 2
// GB WAV (sparse: it costs no disk) and a 20000 x 20000 PNG. Each is named once with its reason,
// the loader does not stall on them, and the game plays on.
class RefusedData : public GameWindow {
 protected:
  void PrepareFolder() override {
    const fs::path built = fs::path(DROMMEL_BINARY_DIR) / "data";
    const fs::path data = folder_.Path("data");
    fs::create_directories(data / "sfx");
    for (const auto& entry : fs::directory_iterator(built)) {
      if (entry.path().filename() != "sfx" &&
          !entry.path().filename().string().starts_with("world"))
        fs::create_symlink(entry.path(), data / entry.path().filename());
    }
    for (const auto& entry : fs::directory_iterator(built / "sfx")) {
      if (entry.path().filename() != "096.wav")
        fs::create_symlink(entry.path(), data / "sfx" / entry.path().filename());
    }
    // A 16-bit stereo format chunk and a data chunk of 2^31 bytes, all there.
    const std::uint32_t bytes = 1u << 31;
    const auto wav = WavBuilder().Header().Format(2, 44100, 16).Tag("data").U32(bytes).bytes;
    std::ofstream(data / "sfx" / "096.wav", std::ios::binary)
        .write(reinterpret_cast<const char*>(wav.data()), static_cast<std::streamsize>(wav.size()));
    fs::resize_file(data / "sfx" / "096.wav", wav.size() + bytes);
    // The PNG signature and a header chunk: 20000 x 20000, 8-bit RGBA, at every resolution.
    const unsigned char png[] = {0x89, 'P',  'N', 'G', '\r', '\n', 0x1a, '\n', 0,    0, 0,
                                 13,   'I',  'H', 'D', 'R',  0,    0,    0x4e, 0x20, 0, 0,
                                 0x4e, 0x20, 8,   6,   0,    0,    0,    0,    0,    0, 0};
    for (const char* name : {"world001.png", "world001-hd.png", "world001-hd2.png"}) {
      std::ofstream(data / name, std::ios::binary)
          .write(reinterpret_cast<const char*>(png), sizeof png);
    }
  }
};

TEST_F(RefusedData, AreNamedOnceEachAndTheGameGoesOn) {
  ASSERT_TRUE(FocusUntilMenu(640, 15s)) << program_->Report("waiting for the main menu");
  const std::string out = program_->Log();
  EXPECT_EQ(Count(out, "Sound not loaded from ./data/sfx/096.wav: its data chunk holds "), 1)
      << out;
  EXPECT_EQ(Count(out, "Image not loaded from ./data/world001"), 1) << out;
  EXPECT_EQ(Count(out, "not loaded"), 2) << out;
  SendDeleteWindow(std::stoul(window_));
  EXPECT_EQ(program_->WaitForExit(kExitLimit), 0) << program_->Report("closing the window");
}

}  // namespace
