// The whole game in a real window, driven only by real key presses (xdotool keydown / keyup under
// the X server named by DISPLAY): the menu, a game played and quit through the pause menu, the
// score in the saved state, a changed option saved by the options box, a restart that loads it all
// back, and the sounds that reached OpenAL's wave-file output on the way.
//
// It plays as a person would: it looks at the screen before each move and, when the game is not
// where it should be (the ball died on the first spike, the game ended while a key was held, the
// menu shows instead of the pause panel), it goes back to the menu and plays again. Every outside
// tool runs with a time limit; a vanished window or a screenshot that cannot be taken ends the test
// at once, naming the step.
//
// Screenshots of each step land in <build>/e2e-shots for a person to look at.
#include <gtest/gtest.h>

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
#include <stdexcept>
#include <string>
#include <thread>
#include <vector>

#include "tests/support/Process.h"
#include "tests/support/Program.h"
#include "tests/support/Screen.h"

namespace fs = std::filesystem;
using namespace std::chrono_literals;

namespace {

void Sleep(double seconds) {
  std::this_thread::sleep_for(std::chrono::duration<double>(seconds));
}

std::string ReadFile(const fs::path& path) {
  std::ifstream in(path, std::ios::binary);
  std::stringstream text;
  text << in.rdbuf();
  return text.str();
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

// ---- Where the game is, from its picture ----

enum class Where { kMenu, kPlay, kPause, kGameOver, kElse };

const char* Name(Where where) {
  switch (where) {
    case Where::kMenu:
      return "the main menu";
    case Where::kPlay:
      return "play";
    case Where::kPause:
      return "the pause panel";
    case Where::kGameOver:
      return "the game-over overlay";
    default:
      return "something else";
  }
}

// The overlays first: they lie over the screens below them. The game-over overlay before the pause
// panel: a ball that dies just as Escape goes down shows both, and that game is over.
Where Recognise(const Picture& p) {
  if (LooksLikeGameOver(p)) return Where::kGameOver;
  if (LooksLikePause(p)) return Where::kPause;
  if (LooksLikeMenu(p)) return Where::kMenu;
  if (LooksLikePlay(p)) return Where::kPlay;
  return Where::kElse;
}

// A step that cannot go on (the window is gone, a tool does not answer): ends the test at once.
struct StepFailed : std::runtime_error {
  using std::runtime_error::runtime_error;
};

// ---- The player: keys and eyes on one run of the game ----

class Player {
 public:
  Player(Program& game, std::string window, fs::path shots, std::string prefix)
      : game_(game),
        window_(std::move(window)),
        shots_(std::move(shots)),
        prefix_(std::move(prefix)) {}
  ~Player() {
    // Never leave a key down for whatever runs next on the display.
    if (!held_.empty()) RunTool("xdotool keyup " + held_, 5s);
  }

  // Saves the window's picture as <shots>/<prefix>NN-<name>.png.
  Picture Look(const std::string& name) {
    const std::string file = prefix_ + Number(++shot_) + "-" + name + ".png";
    if (!game_.Running())
      throw StepFailed(file + ": " + game_.Report("the game ended before this picture"));
    const Shot shot = Capture(window_, shots_ / file);
    if (!shot.error.empty())
      throw StepFailed(file + ": " + shot.error + "; " + game_.Report("then"));
    last_ = Recognise(shot.picture);
    return shot.picture;
  }
  Where Last() const { return last_; }

  // Holds a key for `seconds` (several updates, so the game sees it held, not just hit), then lets
  // go and leaves a few updates for the game to notice the release.
  void Press(const std::string& key, double seconds = 0.15) {
    Down(key);
    Sleep(seconds);
    Up();
    Sleep(0.12);
  }
  void Down(const std::string& key) {
    Xdotool("keydown " + key);
    held_ = key;
  }
  void Up() {
    const std::string key = held_;
    held_.clear();
    Xdotool("keyup " + key);
  }

  // Looks until the game shows `want` (or `orElse`); the last picture, or nothing after `seconds`.
  std::optional<Picture> WaitFor(Where want, double seconds, const std::string& name,
                                 Where orElse = Where::kElse) {
    const auto end = std::chrono::steady_clock::now() + std::chrono::duration<double>(seconds);
    for (;;) {
      Picture p = Look(name);
      if (last_ == want || (orElse != Where::kElse && last_ == orElse)) return p;
      if (std::chrono::steady_clock::now() > end) return std::nullopt;
      Sleep(0.1);
    }
  }

  // Brings the game back to the main menu with play selected, from wherever it is: a game in play
  // is paused and quit, the game-over overlay and transitions are waited out.
  void BackToMenu(const std::string& name) {
    const auto end = std::chrono::steady_clock::now() + 20s;
    while (std::chrono::steady_clock::now() < end) {
      Look(name);
      switch (last_) {
        case Where::kMenu:
          Press("Left");  // play, if the gear was selected
          return;
        case Where::kPlay:
          Press("Escape");
          break;
        case Where::kPause:
          Press("Left");
          Press("Return");
          break;
        default:
          Sleep(0.3);  // the game-over overlay, or the screen changing
          break;
      }
      Sleep(0.3);
    }
    throw StepFailed(name + ": the game did not come back to the main menu (last seen: " +
                     std::string(Name(last_)) + ")");
  }

 private:
  static std::string Number(int n) { return (n < 10 ? "0" : "") + std::to_string(n); }
  void Xdotool(const std::string& args) {
    const ToolResult result = RunTool("xdotool " + args, 10s);
    if (!result.Ok()) throw StepFailed("xdotool " + args + " " + result.Describe());
  }

  Program& game_;
  std::string window_;
  fs::path shots_;
  std::string prefix_;
  int shot_ = 0;
  Where last_ = Where::kElse;
  std::string held_;
};

class EndToEnd : public ::testing::Test {
 protected:
  void SetUp() override {
    if (!std::getenv("DISPLAY")) GTEST_SKIP() << "needs an X server (DISPLAY is not set)";
    binary_ = DROMMEL_BINARY_DIR;
    ASSERT_TRUE(fs::exists(binary_ / "drommel")) << "the game was not built";
    ASSERT_TRUE(fs::exists(binary_ / "data")) << "the game's data folder was not generated";
    char pattern[] = "/tmp/drommel-e2e-XXXXXX";
    ASSERT_NE(mkdtemp(pattern), nullptr);
    folder_ = pattern;
    shots_ = binary_ / "e2e-shots";
    fs::remove_all(shots_);
    fs::create_directories(shots_);
  }
  void TearDown() override {
    if (!folder_.empty() && !HasFailure()) fs::remove_all(folder_);
  }

  // One game: a menu item chosen, the first spike column passed and the game quit through the pause
  // menu. The score it saved, or 0 when the attempt went wrong (and the player is somewhere else).
  int PlayOneGame(Player& player, int attempt, const fs::path& state) {
    const std::string n = std::to_string(attempt);
    player.BackToMenu("menu-" + n);
    player.Press("Return", 0.2);
    if (!player.WaitFor(Where::kPlay, 3, "play-start-" + n)) {
      std::printf("attempt %d: Enter did not start a game (%s)\n", attempt, Name(player.Last()));
      return 0;
    }
    // Hold until the score bar lights up (the first column has passed the ball, after about 108
    // updates, 1.8 s) and let go at once: the second column comes 33 updates later, and between
    // the two the ball bounces in place safely. The player watches the picture, not the clock: on a
    // busy machine the game itself runs slower than the clock, and letting go at a fixed time left
    // the ball over the first column's point. A ball that lands on a point ends the game: the
    // player sees the overlay and lets go. Whether the game scored is read from the saved state
    // once it is quit.
    using Seconds = std::chrono::duration<double>;
    // Whether the ball clears the first column's point depends on where in its bounce (one bounce a
    // second) it is when the column arrives, so each attempt waits a different part of a second
    // before holding: retries try other phases instead of the same one again.
    Sleep(std::fmod(0.37 * attempt, 1.0));
    const auto start = std::chrono::steady_clock::now();
    const auto elapsed = [&] { return Seconds(std::chrono::steady_clock::now() - start).count(); };
    player.Down("Right");
    Sleep(1.3);
    while (elapsed() < 8) {
      const Picture p = player.Look("play-" + n);
      if (player.Last() != Where::kPlay || ScoreBarLit(p)) break;
    }
    player.Up();
    if (player.Last() != Where::kPlay) {
      std::printf("attempt %d: the ball died, the game shows %s\n", attempt, Name(player.Last()));
      return 0;
    }
    Sleep(0.2);
    player.Look("scored-" + n);
    if (player.Last() != Where::kPlay) {
      std::printf("attempt %d: the game ended on letting go (%s)\n", attempt, Name(player.Last()));
      return 0;
    }

    player.Press("Escape");
    if (!player.WaitFor(Where::kPause, 2, "pause-" + n)) {
      std::printf("attempt %d: Escape showed %s, not the pause panel\n", attempt,
                  Name(player.Last()));
      return 0;
    }
    // Quit: left selects it, Enter confirms. On a busy machine one pass of the game's loop can take
    // a quarter of a second, and a press that goes down and up between two passes is never seen
    // held; so both keys are held longer (holding them further does nothing more: quit stays
    // selected, and the game over that Enter starts waits for every key to be released).
    Sleep(0.4);  // the panel takes keys once it has slid in
    player.Press("Left", 0.6);
    player.Press("Return", 0.6);
    // The overlay can come and go between two pictures on a slow machine: the menu after it also
    // shows that quitting worked.
    if (!player.WaitFor(Where::kGameOver, 6, "game-over-" + n, Where::kMenu)) {
      std::printf("attempt %d: quitting showed %s, not the game-over overlay\n", attempt,
                  Name(player.Last()));
      return 0;
    }
    if (!player.WaitFor(Where::kMenu, 6, "menu-after-" + n)) {
      ADD_FAILURE() << "quitting did not lead back to the menu (" << Name(player.Last()) << ")";
      return 0;
    }
    const auto saved = ReadState(state);
    if (!saved) {
      ADD_FAILURE() << "no valid state record after a finished game";
      return 0;
    }
    EXPECT_TRUE(saved->checksumsValid);
    const int score = saved->Recent(0);
    if (score == 0) {
      std::printf("attempt %d: let go before the first column passed\n", attempt);
      return 0;
    }
    // The score panel slides in with the menu: look until the new score shows in it.
    Picture settled;
    for (int look = 0; look < 10; ++look) {
      settled = player.Look("menu-settled-" + n);
      if (RowDifference(settled, 0, 1) > 10) break;
      Sleep(0.3);
    }
    EXPECT_GE(saved->Best(0), score) << "the best score is below the last one";
    EXPECT_GT(RowDifference(settled, 0, 1), 10) << "the new score is not in the panel";
    return score;
  }

  fs::path binary_, folder_, shots_;
};

TEST_F(EndToEnd, APlayerPlaysQuitsChangesTheSoundAndFindsEverythingAgainAfterARestart) {
  const fs::path wavePath = folder_ / "output.wav";
  const fs::path conf = folder_ / "alsoft.conf";
  std::ofstream(conf) << "[general]\ndrivers = wave\n[wave]\nfile = " << wavePath.string() << "\n";
  const fs::path state = folder_ / ".kestrostate";

  int score = 0;
  try {
    // OpenAL's wave-file backend, from the configuration file rather than the null backend.
    Program::Options options = Program::Game(folder_);
    options.set = {"ALSOFT_CONF=" + conf.string()};
    options.unset = {"ALSOFT_DRIVERS"};
    Program game(options);
    const std::string window = game.WaitForWindow(20s);
    ASSERT_FALSE(window.empty()) << game.Report("waiting for the game window");
    Player player(game, window, shots_, "");
    ASSERT_TRUE(player.WaitFor(Where::kMenu, 15, "menu")) << "the main menu did not appear";
    EXPECT_FALSE(fs::exists(state)) << "nothing has been saved yet";

    // A game that passes the first spike column and stops before the second. A player who is
    // unlucky with the bounce dies on the first one, or meets the game-over overlay while still
    // holding the key; then the game goes back to the menu and is played again.
    // Attempts stop after 75 s, leaving time for the rest within the test's limit.
    const auto attemptsEnd = std::chrono::steady_clock::now() + 75s;
    for (int attempt = 1;
         attempt <= 12 && score == 0 && std::chrono::steady_clock::now() < attemptsEnd; ++attempt)
      score = PlayOneGame(player, attempt, state);
    ASSERT_GT(score, 0) << "no game scored and was quit in twelve attempts or 75 s (see " << shots_
                        << ")";
    std::printf("scored %d\n", score);

    // Options: select the gear, open the box, step to the sound row and change it, then close the
    // box with Escape, which saves. These presses are not checked one by one, so they are held a
    // little longer, for a busy machine.
    player.BackToMenu("menu-before-options");
    player.Press("Right", 0.25);
    Sleep(0.3);
    player.Press("Return", 0.25);
    Sleep(0.8);
    player.Look("options");
    player.Press("Down", 0.25);
    player.Press("Return", 0.25);
    Sleep(0.2);
    player.Look("options-sound-sfx");
    player.Press("Escape", 0.25);
    Sleep(0.8);
    const auto saved = ReadState(state);
    ASSERT_TRUE(saved.has_value());
    EXPECT_TRUE(saved->checksumsValid);
    EXPECT_EQ(saved->Option(5), 2) << "Sound : SFX + Music should have become Sound : SFX";
    EXPECT_EQ(saved->Recent(0), score);

    // Back to the play item, then Escape in the menu ends the program.
    player.Press("Left");
    Sleep(0.3);
    player.Look("menu-before-quit");
    player.Press("Escape");
    EXPECT_EQ(game.WaitForExit(10s), std::optional<int>(0))
        << game.Report("Escape in the menu should end with status 0");
  } catch (const StepFailed& failure) {
    FAIL() << failure.what();
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
  try {
    Program game(Program::Game(folder_));
    const std::string window = game.WaitForWindow(20s);
    ASSERT_FALSE(window.empty()) << game.Report("waiting for the restarted game's window");
    Player player(game, window, shots_, "restart-");
    ASSERT_TRUE(player.WaitFor(Where::kMenu, 15, "menu")) << "no main menu after a restart";
    // The score panel slides in with the menu: look until the saved score shows in it.
    Picture menu;
    for (int look = 0; look < 10; ++look) {
      menu = player.Look("menu-settled");
      if (RowDifference(menu, 0, 1) > 10) break;
      Sleep(0.3);
    }
    EXPECT_GT(RowDifference(menu, 0, 1), 10) << "the saved score is not shown after a restart";
    player.Press("Escape");
    EXPECT_EQ(game.WaitForExit(10s), std::optional<int>(0)) << game.Report("quitting the restart");
    const std::string log = game.Log();
    EXPECT_NE(log.find("Settings Loaded"), std::string::npos) << log;
    EXPECT_NE(log.find("Badges Loaded"), std::string::npos) << log;
    EXPECT_NE(log.find("Highscore 0 Loaded"), std::string::npos) << log;
    const auto saved = ReadState(state);
    ASSERT_TRUE(saved.has_value());
    EXPECT_EQ(saved->Option(5), 2);
    EXPECT_EQ(saved->Recent(0), score);
  } catch (const StepFailed& failure) {
    FAIL() << failure.what();
  }
}

}  // namespace
