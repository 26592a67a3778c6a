// A seeded soak of the whole game through the headless harness: a long run of random input (every
// control key, the pointer, back, the function keys), window-size changes, suspends and resumes.
// Play dies and returns to the menu over and over, and the options box gets opened and changed.
// Every time the menu comes back after a game, the live heap must be no larger than after the first
// game, and the state file must hold a valid record. The run follows from its seed alone: set
// DROMMEL_SOAK_SEED to replay a failure, DROMMEL_SOAK_UPDATES for a longer or shorter run.
//
// Counting live allocations replaces the global operator new, so this test has an executable of
// its own.
#include <gtest/gtest.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <random>
#include <string>
#include <utility>
#include <vector>

#include "framework/Random.h"
#include "game/SaveRecord.h"
#include "tests/game/GameHarness.h"
#include "tests/support/AllocationCounter.h"

namespace {

// Every key the game reads as a control (directions, buttons 1-6 with their letter keys).
constexpr int kControlKeys[] = {Key::Up,      Key::W, Key::Left,  Key::A,     Key::Right, Key::D,
                                Key::Down,    Key::S, Key::Space, Key::Enter, Key::Z,     Key::J,
                                Key::Control, Key::X, Key::K,     Key::Shift, Key::C,     Key::L,
                                Key::V,       Key::I, Key::B,     Key::U,     Key::N,     Key::O};
// Back: in the main menu it ends the process, so it is only held while the menu is not showing.
constexpr int kBackKeys[] = {Key::Escape, Key::Delete, Key::Backspace, Key::Backquote};
constexpr int kFunctionKeys[] = {Key::F1, Key::F2, Key::F11};
constexpr int kSizes[][2] = {{640, 480}, {800, 600},   {1280, 720},
                             {320, 240}, {1920, 1080}, {97, 61}};

unsigned long EnvNumber(const char* name, unsigned long fallback) {
  const char* text = std::getenv(name);
  return text != nullptr && *text != 0 ? std::strtoul(text, nullptr, 10) : fallback;
}

bool IsValidRecord(const std::string& text) {
  Array<int> options(25);
  BadgeMasks badges{};
  Array<int> highscores(50);
  const auto messages = ApplySaveRecord(String::FromUtf8(text), options, badges, highscores);
  return messages.size() == 3 && messages[0] == String("Settings Loaded") &&
         messages[1] == String("Badges Loaded") && messages[2] == String("Highscore 0 Loaded") &&
         BuildSaveRecord(options, badges, highscores).ToUtf8() == text;
}

struct SoakResult {
  int gamesOver = 0;
  int optionSaves = 0;  // the state file changed while the options box was open
  int suspends = 0;
  // Live allocations and bytes each time the menu returned after a game, by window size (the
  // images loaded follow the size). Room for all of it is made before the first game, so that the
  // soak's own bookkeeping allocates nothing between the points it compares.
  struct AtMenu {
    std::pair<int, int> size;
    std::vector<long long> live, bytes;
  };
  std::vector<AtMenu> atMenu;
  std::vector<int> scores;  // the score of each finished game, for the replay check
};

// The soak itself; gtest failures inside name the seed (the caller's trace).
SoakResult Soak(unsigned long seed, long updates) {
  SoakResult result;
  std::mt19937 random(static_cast<std::mt19937::result_type>(seed));
  const auto chance = [&](int inThousand) {
    return std::uniform_int_distribution<int>(0, 999)(random) < inThousand;
  };
  const auto pick = [&](int count) {
    return std::uniform_int_distribution<int>(0, count - 1)(random);
  };

  const size_t most = static_cast<size_t>(updates / 100 + 10);
  result.atMenu.resize(16);
  for (auto& at : result.atMenu) {
    at.live.reserve(most);
    at.bytes.reserve(most);
  }
  result.scores.reserve(most);

  GameHarness game;
  c_MyApp& app = game.App();
  xq_random_Seed = static_cast<int>(seed & 0x7fffffff);
  game.FinishLoading();

  std::vector<int> down;
  const auto release = [&](int key) {
    game.KeyUp(key);
    std::erase(down, key);
  };
  const auto isBack = [](int key) {
    return std::find(std::begin(kBackKeys), std::end(kBackKeys), key) != std::end(kBackKeys);
  };
  bool played = false;  // a game ran since the menu last showed
  std::string state = game.StateText();
  bool suspended = false;
  for (long update = 0; update < updates; ++update) {
    const bool menu = app.gameMode == Mode::Menu;
    if (menu) {
      for (const int key : kBackKeys) {
        if (std::find(down.begin(), down.end(), key) != down.end()) release(key);
      }
    }
    // Control keys: presses and releases of every length, rarely more than two at once (the menus
    // wait for all controls to be let go).
    if (chance(100)) {
      if (!down.empty() && (down.size() >= 2 || chance(500))) {
        release(down[static_cast<size_t>(pick(static_cast<int>(down.size())))]);
      } else {
        const int key = kControlKeys[pick(std::size(kControlKeys))];
        if (std::find(down.begin(), down.end(), key) == down.end()) {
          game.KeyDown(key);
          down.push_back(key);
        }
      }
    }
    if (!menu && chance(8)) {
      const int key = kBackKeys[pick(std::size(kBackKeys))];
      game.KeyDown(key);
      down.push_back(key);
    }
    for (const int key : std::vector<int>(down)) {
      if (isBack(key) && chance(300)) release(key);
    }
    if (chance(2)) {
      const int key = kFunctionKeys[pick(std::size(kFunctionKeys))];
      game.KeyDown(key);
      game.KeyUp(key);
    }
    // The pointer: moves, presses and releases anywhere in (and a little beyond) the window.
    if (chance(60)) {
      const float x = static_cast<float>(pick(1400) - 60);
      const float y = static_cast<float>(pick(1100) - 60);
      if (chance(500)) {
        game.MouseDown(x, y, pick(3));
      } else {
        game.MouseMove(x, y);
      }
    }
    if (chance(40)) game.MouseUp(pick(3));
    if (chance(1)) {
      const auto& size = kSizes[pick(std::size(kSizes))];
      game.Resize(size[0], size[1]);
    }
    if (!suspended && chance(1)) {
      game.Suspend();
      suspended = true;
      ++result.suspends;
    } else if (suspended && chance(50)) {
      game.Resume();
      suspended = false;
    }

    game.Step();
    game.ClearSoundLog();

    if (app.gameMode == Mode::Menu && played) {
      played = false;
      ++result.gamesOver;
      const long long live = AllocationCounter::Live();
      const long long bytes = AllocationCounter::LiveBytes();
      const std::pair<int, int> size(game.Graphics().Width(), game.Graphics().Height());
      auto at = std::find_if(result.atMenu.begin(), result.atMenu.end(),
                             [&](const auto& a) { return a.size == size || a.size.first == 0; });
      if (at == result.atMenu.end() || at->live.size() == at->live.capacity()) {
        ADD_FAILURE() << "no room for the memory figures at " << size.first << " x " << size.second;
        break;
      }
      at->size = size;
      at->live.push_back(live);
      at->bytes.push_back(bytes);
      result.scores.push_back(app.score);
    }
    played = played || app.gameMode >= Mode::Play;
    if (update % 256 == 0 || app.optionsOpen == 1) {
      std::string now = game.StateText();
      if (now != state) {
        EXPECT_TRUE(IsValidRecord(now)) << "update " << update << ": " << now;
        if (app.optionsOpen == 1) ++result.optionSaves;
        state = std::move(now);
      }
    }
    if (testing::Test::HasFailure()) break;
  }
  if (suspended) game.Resume();
  EXPECT_TRUE(IsValidRecord(game.StateText())) << game.StateText();
  return result;
}

TEST(Soak, RandomInputForAHundredThousandUpdatesKeepsMemoryFlatAndTheStateValid) {
  const unsigned long seed = EnvNumber("DROMMEL_SOAK_SEED", 20261208);
  const long updates = static_cast<long>(EnvNumber("DROMMEL_SOAK_UPDATES", 100000));
  SCOPED_TRACE("soak seed " + std::to_string(seed) + " (DROMMEL_SOAK_SEED), " +
               std::to_string(updates) + " updates");
  std::printf("soak seed %lu, %ld updates\n", seed, updates);
  const SoakResult r = Soak(seed, updates);
  std::printf("games over %d, option saves %d, suspends %d\n", r.gamesOver, r.optionSaves,
              r.suspends);
  // The run went where it should: many games, the options changed, suspends.
  EXPECT_GE(r.gamesOver, updates / 2000);
  EXPECT_GE(r.optionSaves, 1);
  EXPECT_GE(r.suspends, updates / 2000);
  // A little room for what differs between one menu and the next (sounds still playing, the texts
  // of the scores shown); a leak of one allocation per game exceeds it long before the end.
  int compared = 0;
  for (const auto& [size, live, bytes] : r.atMenu) {
    if (live.empty()) continue;
    const long long mostLive = *std::max_element(live.begin(), live.end());
    const long long mostBytes = *std::max_element(bytes.begin(), bytes.end());
    std::printf(
        "%d x %d: %zu menus, live after the first game %lld allocations, %lld bytes; most "
        "later %lld, %lld\n",
        size.first, size.second, live.size(), live.front(), bytes.front(), mostLive, mostBytes);
    EXPECT_LE(mostLive - live.front(), 16) << size.first << " x " << size.second;
    EXPECT_LE(mostBytes - bytes.front(), 4096) << size.first << " x " << size.second;
    if (live.size() >= 2) ++compared;
  }
  EXPECT_GE(compared, 1);
}

TEST(Soak, TheSameSeedPlaysTheSameGames) {
  const SoakResult first = Soak(7, 3000);
  const SoakResult second = Soak(7, 3000);
  ASSERT_GE(first.scores.size(), 2u);
  EXPECT_EQ(first.scores, second.scores);
}

}  // namespace
