// The whole game in a real window, driven only by real key presses (xdotool keydown / keyup under
// the X server named by DISPLAY): the menu, a game played and quit through the pause menu, the
// score in the saved state, a changed option saved by the options box, a restart that loads it all
// back, and the sounds that reached OpenAL's wave-file output on the way.
//
// Screenshots of each step land in <build>/e2e-shots for a person to look at.
#include <gtest/gtest.h>
#include <signal.h>
#include <stb_image.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <chrono>
#include <cmath>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <optional>
#include <sstream>
#include <string>
#include <thread>
#include <vector>

#include "tests/support/Process.h"

namespace fs = std::filesystem;

namespace {

void Sleep(double seconds) {
  std::this_thread::sleep_for(std::chrono::duration<double>(seconds));
}

int Shell(const std::string& command) {
  return std::system(command.c_str());
}

std::string ReadFile(const fs::path& path) {
  std::ifstream in(path, std::ios::binary);
  std::stringstream text;
  text << in.rdbuf();
  return text.str();
}

// ---- The player at the keyboard ----

// Holds a key for `seconds` (several updates, so the game sees it held, not just hit), then lets
// go and leaves a few updates for the game to notice the release.
void Press(const std::string& key, double seconds = 0.15) {
  Shell("xdotool keydown " + key);
  Sleep(seconds);
  Shell("xdotool keyup " + key);
  Sleep(0.12);
}

// ---- Screenshots ----

struct Rgb {
  int r = 0, g = 0, b = 0;
};

struct Picture {
  int width = 0;
  int height = 0;
  std::vector<unsigned char> pixels;  // RGB rows

  bool Empty() const { return width == 0; }
  Rgb At(int x, int y) const {
    if (x < 0 || y < 0 || x >= width || y >= height) return {};
    const size_t i =
        (static_cast<size_t>(y) * static_cast<size_t>(width) + static_cast<size_t>(x)) * 3;
    return {pixels[i], pixels[i + 1], pixels[i + 2]};
  }
};

bool Near(Rgb c, int r, int g, int b, int tolerance = 14) {
  return std::abs(c.r - r) <= tolerance && std::abs(c.g - g) <= tolerance &&
         std::abs(c.b - b) <= tolerance;
}

// How many of the points have about the given colour.
int CountNear(const Picture& p, const std::vector<std::pair<int, int>>& points, int r, int g,
              int b) {
  int n = 0;
  for (auto [x, y] : points) n += Near(p.At(x, y), r, g, b) ? 1 : 0;
  return n;
}

// ---- WAV reading for the sound check ----

// Mono samples at `rate` Hz.
struct Wave {
  int rate = 0;
  std::vector<float> samples;
};

uint32_t Le32(const std::string& s, size_t at) {
  uint32_t v = 0;
  for (int i = 3; i >= 0; --i)
    v = (v << 8) | static_cast<unsigned char>(s[at + static_cast<size_t>(i)]);
  return v;
}
uint16_t Le16(const std::string& s, size_t at) {
  return static_cast<uint16_t>(static_cast<unsigned char>(s[at]) |
                               (static_cast<unsigned char>(s[at + 1]) << 8));
}

// Integer PCM (8, 16, 24, 32 bits) or 32-bit float, any channel count, mixed down to mono. A data
// chunk whose size was never filled in (the writer still running) reads to the end of the file.
std::optional<Wave> ReadWave(const std::string& bytes) {
  if (bytes.size() < 12 || bytes.compare(0, 4, "RIFF") != 0 || bytes.compare(8, 4, "WAVE") != 0)
    return std::nullopt;
  int format = 0, channels = 0, bits = 0, rate = 0;
  size_t at = 12;
  while (at + 8 <= bytes.size()) {
    const std::string id = bytes.substr(at, 4);
    size_t size = Le32(bytes, at + 4);
    const size_t body = at + 8;
    if (id == "fmt " && body + 16 <= bytes.size()) {
      format = Le16(bytes, body);
      channels = Le16(bytes, body + 2);
      rate = static_cast<int>(Le32(bytes, body + 4));
      bits = Le16(bytes, body + 14);
      if (format == 0xFFFE && body + 26 <= bytes.size()) format = Le16(bytes, body + 24);
    } else if (id == "data") {
      if (size == 0 || size == 0xFFFFFFFFu || body + size > bytes.size())
        size = bytes.size() - body;
      if (channels < 1 || rate < 1 || (bits != 8 && bits != 16 && bits != 24 && bits != 32))
        return std::nullopt;
      const size_t step = static_cast<size_t>(bits / 8);
      const size_t frames = size / (step * static_cast<size_t>(channels));
      Wave wave;
      wave.rate = rate;
      wave.samples.resize(frames);
      for (size_t f = 0; f < frames; ++f) {
        float sum = 0;
        for (int c = 0; c < channels; ++c) {
          const size_t p =
              body + (f * static_cast<size_t>(channels) + static_cast<size_t>(c)) * step;
          float v = 0;
          if (format == 3 && bits == 32) {
            uint32_t u = Le32(bytes, p);
            std::memcpy(&v, &u, 4);
          } else if (bits == 8) {
            v = (static_cast<unsigned char>(bytes[p]) - 128) / 128.0f;
          } else if (bits == 16) {
            v = static_cast<int16_t>(Le16(bytes, p)) / 32768.0f;
          } else if (bits == 24) {
            int32_t s = static_cast<int32_t>((Le32(bytes, p) & 0xFFFFFF) << 8);
            v = static_cast<float>(s) / 2147483648.0f;
          } else {
            v = static_cast<float>(static_cast<int32_t>(Le32(bytes, p))) / 2147483648.0f;
          }
          sum += v;
        }
        wave.samples[f] = sum / static_cast<float>(channels);
      }
      return wave;
    }
    at = body + size + (size & 1);
  }
  return std::nullopt;
}

// Box-filtered to `rate` Hz, keeping at most `seconds` of it.
std::vector<float> Resample(const Wave& wave, int rate, double seconds = 1e9) {
  std::vector<float> out;
  const double ratio = static_cast<double>(wave.rate) / rate;
  const size_t n = static_cast<size_t>(std::min(wave.samples.size() / ratio, seconds * rate));
  out.reserve(n);
  for (size_t i = 0; i < n; ++i) {
    size_t from = static_cast<size_t>(static_cast<double>(i) * ratio);
    size_t to = std::max(from + 1, static_cast<size_t>(static_cast<double>(i + 1) * ratio));
    to = std::min(to, wave.samples.size());
    float sum = 0;
    for (size_t j = from; j < to; ++j) sum += wave.samples[j];
    out.push_back(to > from ? sum / static_cast<float>(to - from) : 0.0f);
  }
  return out;
}

// The best normalised cross-correlation of the sound anywhere in the recording (1 = an exact,
// possibly scaled copy; unrelated sound stays well below).
double BestMatch(const std::vector<float>& recording, const std::vector<float>& sound) {
  if (sound.empty() || recording.size() < sound.size()) return 0;
  double soundEnergy = 0;
  for (float v : sound) soundEnergy += static_cast<double>(v) * v;
  if (soundEnergy <= 0) return 0;
  std::vector<double> prefix(recording.size() + 1, 0.0);
  for (size_t i = 0; i < recording.size(); ++i)
    prefix[i + 1] = prefix[i] + static_cast<double>(recording[i]) * recording[i];
  double best = 0;
  for (size_t lag = 0; lag + sound.size() <= recording.size(); ++lag) {
    const double energy = prefix[lag + sound.size()] - prefix[lag];
    if (energy < soundEnergy * 1e-4) continue;
    double dot = 0;
    for (size_t j = 0; j < sound.size(); ++j)
      dot += static_cast<double>(sound[j]) * recording[lag + j];
    best = std::max(best, dot / std::sqrt(soundEnergy * energy));
  }
  return best;
}

// ---- The saved state ----

struct SavedState {
  std::vector<long long> fields;
  bool checksumsValid = false;
  int Option(int i) const { return static_cast<int>(fields.at(static_cast<size_t>(i))); }
  int Best(int i) const { return static_cast<int>(fields.at(35 + 2 * static_cast<size_t>(i))); }
  int Recent(int i) const { return static_cast<int>(fields.at(36 + 2 * static_cast<size_t>(i))); }
};

// The state record: 56 numbers, each followed by "|", with a checksum after the settings, the
// badge masks and the scores.
std::optional<SavedState> ReadState(const fs::path& path) {
  const std::string text = ReadFile(path);
  SavedState state;
  std::string field;
  for (char c : text) {
    if (c == '|') {
      state.fields.push_back(std::stoll(field));
      field.clear();
    } else if (c != '\n' && c != '\r') {
      field += c;
    }
  }
  if (state.fields.size() != 56) return std::nullopt;
  auto wrap = [](long long v) {
    return static_cast<long long>(static_cast<int32_t>(static_cast<uint32_t>(v)));
  };
  long long settings = 0, badges = 0, scores = 0;
  for (int i = 0; i < 25; ++i) settings += i * state.fields[static_cast<size_t>(i)];
  for (int m = 0; m < 8; ++m) badges += state.fields[26 + static_cast<size_t>(m)];
  for (int a = 0; a < 10; ++a)
    scores += (a + 4) * state.fields[35 + 2 * static_cast<size_t>(a)] +
              (a + 3) * state.fields[36 + 2 * static_cast<size_t>(a)];
  state.checksumsValid = wrap(settings) == state.fields[25] && wrap(badges) == state.fields[34] &&
                         wrap(scores) == state.fields[55];
  return state;
}

// ---- One run of the game ----

class GameProcess {
 public:
  // Starts the game in `folder` with its output in `log`; extra environment as NAME=value.
  GameProcess(const fs::path& exe, const fs::path& folder, const fs::path& log,
              const std::vector<std::string>& environment) {
    std::fflush(stdout);  // or the child's copy of the buffer is written twice
    pid_ = fork();
    if (pid_ == 0) {
      if (chdir(folder.c_str()) != 0) _exit(127);
      for (const auto& entry : environment) putenv(strdup(entry.c_str()));
      if (!freopen(log.c_str(), "w", stdout)) _exit(127);
      dup2(fileno(stdout), fileno(stderr));
      execl(exe.c_str(), exe.c_str(), static_cast<char*>(nullptr));
      _exit(127);
    }
  }
  ~GameProcess() {
    if (Running()) {
      kill(pid_, SIGKILL);
      waitpid(pid_, nullptr, 0);
    }
  }

  bool Running() {
    if (pid_ <= 0 || exited_) return false;
    int status = 0;
    if (waitpid(pid_, &status, WNOHANG) == pid_) {
      exited_ = true;
      status_ = status;
      return false;
    }
    return true;
  }

  // The exit status once the process ends within `seconds`; nothing if it is still running.
  std::optional<int> WaitExit(double seconds) {
    for (int i = 0; i < static_cast<int>(seconds * 20) && Running(); ++i) Sleep(0.05);
    if (Running()) return std::nullopt;
    if (WIFEXITED(status_)) return WEXITSTATUS(status_);
    return 128 + WTERMSIG(status_);
  }

  // The X window of the process (GLFW tags it with the process id), or empty.
  std::string Window(double seconds = 15) {
    for (int i = 0; i < static_cast<int>(seconds * 10) && Running(); ++i) {
      std::istringstream ids(
          ShellOutput("xdotool search --pid " + std::to_string(pid_) + " 2>/dev/null"));
      std::string id;
      if (ids >> id) return id;
      Sleep(0.1);
    }
    return {};
  }

  pid_t Pid() const { return pid_; }

 private:
  pid_t pid_ = -1;
  bool exited_ = false;
  int status_ = 0;
};

class EndToEnd : public ::testing::Test {
 protected:
  void SetUp() override {
    if (!std::getenv("DISPLAY")) GTEST_SKIP() << "needs an X server (DISPLAY is not set)";
    binary_ = DROMMEL_BINARY_DIR;
    exe_ = DROMMEL_EXE;
    ASSERT_TRUE(fs::exists(exe_)) << exe_;
    ASSERT_TRUE(fs::exists(binary_ / "data")) << "the game's data folder was not generated";
    char pattern[] = "/tmp/drommel-e2e-XXXXXX";
    ASSERT_NE(mkdtemp(pattern), nullptr);
    folder_ = pattern;
    fs::create_directory_symlink(fs::absolute(binary_ / "data"), folder_ / "data");
    shots_ = binary_ / "e2e-shots";
    fs::remove_all(shots_);
    fs::create_directories(shots_);
  }
  void TearDown() override {
    if (!folder_.empty() && !HasFailure()) fs::remove_all(folder_);
  }

  // Saves the game window's picture as <shots>/<name>.png and reads it back.
  Picture Shoot(const std::string& window, const std::string& name) {
    const fs::path file = shots_ / (name + ".png");
    fs::remove(file);
    Shell("import -window " + window + " " + file.string() + " 2>/dev/null");
    Picture p;
    int channels = 0;
    unsigned char* data = stbi_load(file.c_str(), &p.width, &p.height, &channels, 3);
    if (!data) return {};
    p.pixels.assign(data, data + static_cast<size_t>(p.width) * static_cast<size_t>(p.height) * 3);
    stbi_image_free(data);
    return p;
  }

  fs::path binary_, exe_, folder_, shots_;
};

// The main menu: dark blue sky down to the bottom edge and the darker score panel on the right.
bool LooksLikeMenu(const Picture& p) {
  const int w = p.width, h = p.height;
  const int sky = CountNear(p, {{8, h - 8}, {40, h - 30}, {8, h / 2 + 40}, {60, h - 8}}, 0, 0, 80);
  const int panel = CountNear(p, {{w - 8, h - 8}, {w - 8, h - 40}, {w - 130, h - 100}}, 0, 0, 48);
  return sky >= 3 && panel >= 2;
}

// Play: the dark red ground fills the lower half.
bool LooksLikePlay(const Picture& p) {
  const int w = p.width, h = p.height;
  return CountNear(
             p, {{8, h - 8}, {w / 2, h - 20}, {w - 8, h - 8}, {w / 3, h - 60}, {w - 60, h - 100}},
             80, 0, 0) >= 3;
}

// The pause panel: an orange box across the middle of the dimmed game.
bool LooksLikePause(const Picture& p) {
  const int cx = p.width / 2, cy = p.height / 2;
  int orange = 0;
  for (auto [x, y] : std::vector<std::pair<int, int>>{
           {cx - 100, cy + 30}, {cx + 100, cy + 30}, {cx - 120, cy - 30}, {cx + 120, cy + 40}}) {
    const Rgb c = p.At(x, y);
    orange += c.r > 150 && c.g > 70 && c.g < 160 && c.b < 70 ? 1 : 0;
  }
  return orange >= 3;
}

// The score bar under the score: lit from its middle outward for a second after a spike scores.
bool ScoreBarLit(const Picture& p) {
  return Near(p.At(p.width / 2, 40), 100, 255, 100, 40) &&
         Near(p.At(p.width / 2 - 4, 44), 100, 255, 100, 40);
}

// The game-over overlay: a yellow bar grown in from the left across the middle.
bool LooksLikeGameOver(const Picture& p) {
  const int y = static_cast<int>(p.height * 0.45f);
  int yellow = 0;
  for (int x : {20, 60, 120, 180}) {
    const Rgb c = p.At(x, y);
    yellow += c.r > 100 && c.g > 100 && c.b < 60 ? 1 : 0;
  }
  return yellow >= 3;
}

// Pixels that differ between two rows of the score panel's recent list (row 0 is the newest
// score); identical rows mean both show the same number.
int RowDifference(const Picture& p, int rowA, int rowB) {
  const int h = p.height, w = p.width;
  const int top = h / 2 + 20 + 8 + 15;  // centre of the first score line, minus half a glyph
  int differing = 0;
  for (int dy = -7; dy <= 7; ++dy) {
    for (int x = w - 130; x < w; ++x) {
      const Rgb a = p.At(x, top + 15 * rowA + dy);
      const Rgb b = p.At(x, top + 15 * rowB + dy);
      differing += std::abs(a.r - b.r) + std::abs(a.g - b.g) + std::abs(a.b - b.b) > 60 ? 1 : 0;
    }
  }
  return differing;
}

TEST_F(EndToEnd, APlayerPlaysQuitsChangesTheSoundAndFindsEverythingAgainAfterARestart) {
  const fs::path wavePath = folder_ / "output.wav";
  const fs::path conf = folder_ / "alsoft.conf";
  std::ofstream(conf) << "[general]\ndrivers = wave\n[wave]\nfile = " << wavePath.string() << "\n";
  const fs::path state = folder_ / ".kestrostate";

  int score = 0;
  {
    GameProcess game(exe_, folder_, folder_ / "run1.log", {"ALSOFT_CONF=" + conf.string()});
    const std::string window = game.Window();
    ASSERT_FALSE(window.empty()) << "no game window appeared: " << ReadFile(folder_ / "run1.log");
    Sleep(2.5);  // loading, then the menu slides in
    const Picture menu = Shoot(window, "01-menu");
    ASSERT_FALSE(menu.Empty());
    EXPECT_TRUE(LooksLikeMenu(menu)) << "the main menu did not appear (see 01-menu.png)";
    EXPECT_FALSE(fs::exists(state)) << "nothing has been saved yet";

    // A game that passes the first spike column and stops before the second; a player who is
    // unlucky with the bounce dies on the first one instead, so try again a few times.
    for (int attempt = 1; attempt <= 4 && score == 0; ++attempt) {
      const std::string n = std::to_string(attempt);
      Press("Return", 0.08);
      Sleep(0.3);
      EXPECT_TRUE(LooksLikePlay(Shoot(window, "02-play-start-" + n)))
          << "Enter did not start a game";
      // Hold until the score bar lights up (the first column has passed the ball, after about
      // 108 updates) and let go at once: the second column comes 33 updates later. Watching the
      // picture rather than the clock keeps this right on a slow machine.
      const auto start = std::chrono::steady_clock::now();
      Shell("xdotool keydown Right");
      Sleep(1.0);
      while (std::chrono::steady_clock::now() - start < std::chrono::seconds(5)) {
        if (ScoreBarLit(Shoot(window, "03-play-" + n))) break;
      }
      Shell("xdotool keyup Right");
      Sleep(0.2);
      Shoot(window, "04-scored-" + n);

      Press("Escape");
      Sleep(0.4);
      const Picture pause = Shoot(window, "05-pause-" + n);
      EXPECT_TRUE(LooksLikePause(pause))
          << "Escape did not open the pause menu (05-pause-" << n << ")";
      Press("Left");
      Press("Return");
      Sleep(0.6);
      EXPECT_TRUE(LooksLikeGameOver(Shoot(window, "06-game-over-" + n)))
          << "quitting did not show the game-over overlay";
      Sleep(1.8);
      const Picture back = Shoot(window, "07-menu-after-" + n);
      EXPECT_TRUE(LooksLikeMenu(back)) << "quitting did not lead back to the menu";

      const auto saved = ReadState(state);
      ASSERT_TRUE(saved.has_value()) << "no valid state record after a finished game";
      EXPECT_TRUE(saved->checksumsValid);
      score = saved->Recent(0);
      if (score > 0) {
        EXPECT_EQ(saved->Best(0), score) << "the only scoring game is the best";
        EXPECT_GT(RowDifference(back, 0, 1), 10) << "the new score is not in the panel";
      }
    }
    ASSERT_GT(score, 0) << "no game scored in four attempts";
    std::printf("scored %d\n", score);

    // Options: select the gear, open the box, step to the sound row and change it, then close the
    // box with Escape, which saves.
    Press("Right");
    Sleep(0.3);
    Press("Return");
    Sleep(0.8);
    Shoot(window, "08-options");
    Press("Down");
    Press("Return");
    Sleep(0.2);
    Shoot(window, "09-options-sound-sfx");
    Press("Escape");
    Sleep(0.8);
    const auto saved = ReadState(state);
    ASSERT_TRUE(saved.has_value());
    EXPECT_TRUE(saved->checksumsValid);
    EXPECT_EQ(saved->Option(5), 2) << "Sound : SFX + Music should have become Sound : SFX";
    EXPECT_EQ(saved->Recent(0), score);

    // Back to the play item, then Escape in the menu ends the program.
    Press("Left");
    Sleep(0.3);
    Shoot(window, "10-menu-before-quit");
    Press("Escape");
    EXPECT_EQ(game.WaitExit(5), std::optional<int>(0))
        << "Escape in the menu should end with status 0";
  }

  // The sounds really reached the output: the intro jingle while loading, and the first spike of
  // the hold that scored. Sounds 1 and 95 are loaded but nothing plays them: they show that the
  // search does not find what was not played.
  {
    const auto recording = ReadWave(ReadFile(wavePath));
    ASSERT_TRUE(recording.has_value()) << "no wave output was written";
    const std::vector<float> heard = Resample(*recording, 11025);
    ASSERT_GT(heard.size(), 11025u * 5) << "the recording is too short";
    auto match = [&](const char* name) {
      const auto sound =
          ReadWave(ReadFile(binary_ / "data" / "sfx" / (std::string(name) + ".wav")));
      EXPECT_TRUE(sound.has_value()) << name;
      const double best = sound ? BestMatch(heard, Resample(*sound, 11025, 0.25)) : 0;
      std::printf("sound %s: best match %.3f\n", name, best);
      return best;
    };
    EXPECT_GT(match("096"), 0.8) << "the intro sound was not heard";
    EXPECT_GT(match("002"), 0.8) << "the spike sound was not heard";
    EXPECT_LT(match("001"), 0.8) << "a sound that never played was found";
    EXPECT_LT(match("095"), 0.8) << "a sound that never played was found";
    std::fflush(stdout);
  }

  // A restart finds the settings, the badges and the scores, and shows the score in the panel.
  {
    GameProcess game(exe_, folder_, folder_ / "run2.log", {"ALSOFT_DRIVERS=null"});
    const std::string window = game.Window();
    ASSERT_FALSE(window.empty()) << "no game window appeared: " << ReadFile(folder_ / "run2.log");
    Sleep(2.5);
    const Picture menu = Shoot(window, "11-restart-menu");
    EXPECT_TRUE(LooksLikeMenu(menu));
    EXPECT_GT(RowDifference(menu, 0, 1), 10) << "the saved score is not shown after a restart";
    Press("Escape");
    EXPECT_EQ(game.WaitExit(5), std::optional<int>(0));
    const std::string log = ReadFile(folder_ / "run2.log");
    EXPECT_NE(log.find("Settings Loaded"), std::string::npos) << log;
    EXPECT_NE(log.find("Badges Loaded"), std::string::npos) << log;
    EXPECT_NE(log.find("Highscore 0 Loaded"), std::string::npos) << log;
    const auto saved = ReadState(state);
    ASSERT_TRUE(saved.has_value());
    EXPECT_EQ(saved->Option(5), 2);
    EXPECT_EQ(saved->Recent(0), score);
  }
}

}  // namespace
