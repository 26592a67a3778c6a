// The game against a hostile state file, through the real store: whatever sits at .kestrostate (a
// named pipe, a 100 MB file, a folder, a link to an endless device) the game starts at once without
// it, says why on one line, and its next save leaves a valid record. A save that fails says why and
// play goes on.
#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

#include <filesystem>
#include <string>

#include "game/SaveRecord.h"
#include "tests/game/GameHarness.h"

namespace fs = std::filesystem;

namespace {

struct Hostile {
  const char* name;
  void (*make)();
  const char* why;  // what the line printed at start says
};

const Hostile kHostile[] = {
    {"NamedPipe", [] { ASSERT_EQ(mkfifo(".kestrostate", 0600), 0); }, "it is a named pipe"},
    {"HugeFile",
     [] {
       // Sparse: 100 MB that costs no disk.
       FILE* file = std::fopen(".kestrostate", "wb");
       ASSERT_NE(file, nullptr);
       ASSERT_EQ(ftruncate(fileno(file), 100 << 20), 0);
       std::fclose(file);
     },
     "it is 104857600 bytes, more than 65536"},
    {"LinkToEndlessDevice", [] { fs::create_symlink("/dev/zero", ".kestrostate"); },
     "it is a device"},
    {"Folder", [] { fs::create_directory(".kestrostate"); }, "it is a folder"},
};

void PrintTo(const Hostile& hostile, std::ostream* out) {
  *out << hostile.name;
}

int Count(const std::string& text, const std::string& what) {
  int count = 0;
  for (size_t at = text.find(what); at != std::string::npos; at = text.find(what, at + 1)) ++count;
  return count;
}

// The record loads back with every checksum passing.
void ExpectValidRecord(const std::string& text) {
  Array<int> options(25);
  BadgeMasks badges{};
  Array<int> highscores(50);
  const auto messages = ApplySaveRecord(String::FromUtf8(text), options, badges, highscores);
  ASSERT_EQ(messages.size(), 3u) << text;
  EXPECT_EQ(messages[0], String("Settings Loaded"));
  EXPECT_EQ(messages[1], String("Badges Loaded"));
  EXPECT_EQ(messages[2], String("Highscore 0 Loaded"));
}

class HostileState : public ::testing::TestWithParam<Hostile> {};

// The bound: the harness's constructor (which loads the state) returns at all. Before, the pipe
// blocked in open for ever and the device was read until memory ran out.
TEST_P(HostileState, GameStartsWithoutItSaysWhyAndTheNextSaveIsValid) {
  GameHarness::Options options;
  options.prepare = GetParam().make;
  testing::internal::CaptureStdout();
  GameHarness game(options);
  const std::string started = testing::internal::GetCapturedStdout();
  EXPECT_EQ(Count(started, "State not loaded"), 1) << started;
  EXPECT_NE(started.find(std::string(".kestrostate: ") + GetParam().why + "; starting without it"),
            std::string::npos)
      << started;
  EXPECT_EQ(game.App().options[Option::Sound], SoundSetting::EffectsAndMusic);  // the defaults
  game.FinishLoading();

  if (fs::is_directory(".kestrostate")) {
    // A folder cannot be replaced: the save says so, and play goes on.
    testing::internal::CaptureStdout();
    game.App().p_Save();
    const std::string saved = testing::internal::GetCapturedStdout();
    EXPECT_EQ(Count(saved, "\n"), 1) << saved;
    EXPECT_NE(saved.find("State not saved to ./.kestrostate: cannot replace the file: "),
              std::string::npos)
        << saved;
    game.Hold(Key::Space, 2);
    EXPECT_EQ(game.App().gameMode, Mode::Play);  // a game started
    fs::remove(".kestrostate");
  }
  game.App().highscores[0] = 4321;
  game.App().p_Save();
  EXPECT_TRUE(fs::is_regular_file(fs::symlink_status(".kestrostate")));
  ExpectValidRecord(game.StateText());
  EXPECT_NE(game.StateText().find("|4321|"), std::string::npos);
}

INSTANTIATE_TEST_SUITE_P(Store, HostileState, ::testing::ValuesIn(kHostile),
                         [](const auto& info) { return std::string(info.param.name); });

TEST(StaleTemporaries, AreRemovedAtStartAndOnlyThey) {
  GameHarness::Options options;
  options.state = "1|";
  options.prepare = [] {
    for (const char* name :
         {".kestrostate.a1B2c3", ".kestrostate.zzzzzz", ".kestrostate.keep", "other.Xy12Ab"}) {
      FILE* file = std::fopen(name, "wb");
      std::fputs("partial", file);
      std::fclose(file);
    }
  };
  GameHarness game(options);
  EXPECT_FALSE(fs::exists(".kestrostate.a1B2c3"));
  EXPECT_FALSE(fs::exists(".kestrostate.zzzzzz"));
  EXPECT_TRUE(fs::exists(".kestrostate.keep"));
  EXPECT_TRUE(fs::exists("other.Xy12Ab"));
  EXPECT_EQ(game.StateText(), "1|");
}

}  // namespace
