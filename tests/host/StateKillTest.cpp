// Kills during saves: a child process saves game records through the real store in a loop and is
// killed with SIGKILL, at an arbitrary moment or right after it has created the temporary file.
// After every kill the state file must be a complete, valid record, one of those written, and at
// most one temporary file may be left; the next start removes it.
#include <gtest/gtest.h>
#include <poll.h>
#include <sys/wait.h>
#include <unistd.h>

#include <sched.h>
#include <csignal>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <random>

#include "game/SaveRecord.h"
#include "host/Files.h"
#include "host/Game.h"
#include "tests/support/TempDir.h"

namespace fs = std::filesystem;

namespace {

// The record whose first best score is `serial` (every record differs, all are valid).
String Record(int serial) {
  Array<int> options(25);
  options[5] = 1;
  options[10] = options[11] = 64;
  options[12] = 10;
  options[14] = 1;
  Array<int> highscores(50);
  highscores[0] = serial;
  highscores[10] = serial * 7;
  return BuildSaveRecord(options, BadgeMasks{}, highscores);
}

// The serial of a valid record; -1 for anything else.
int SerialOf(const std::string& text) {
  Array<int> options(25);
  BadgeMasks badges{};
  Array<int> highscores(50);
  const auto messages = ApplySaveRecord(String::FromUtf8(text), options, badges, highscores);
  if (messages.size() != 3 || messages[2] != String("Highscore 0 Loaded")) return -1;
  return Record(highscores[0]).ToUtf8() == text ? highscores[0] : -1;
}

int notifyFd = -1;

// In the child: tells the parent a temporary file exists, then waits to be killed.
void StopAfterTemporary() {
  const char byte = 't';
  if (write(notifyFd, &byte, 1) != 1) _exit(3);
  for (;;) pause();
}

class KilledSaves : public ::testing::Test {
 protected:
  void SetUp() override {
    previous_ = fs::current_path();
    fs::current_path(folder_.Path());
  }
  void TearDown() override { fs::current_path(previous_); }

  // Starts a child that saves records first, first + 1, ... and writes one byte to the pipe after
  // each save (with `stopInside`, the save after reports - 1 of them stops once its temporary
  // file exists, and says so). Once the child has reported `reports` times it is killed. Returns
  // every report it made: the saves completed, plus the stop.
  int SaveAndKill(int first, int reports, bool stopInside, int spins) {
    int fds[2];
    EXPECT_EQ(pipe(fds), 0);
    const pid_t pid = fork();
    if (pid == 0) {
      close(fds[0]);
      notifyFd = fds[1];
      XQGame host;
      for (int serial = first;; ++serial) {
        if (stopInside && serial == first + reports - 1) {
          xq_data_testing::afterTemporaryCreated = StopAfterTemporary;
        }
        if (host.SaveState(Record(serial)) != 0) _exit(2);
        const char byte = 's';
        if (write(notifyFd, &byte, 1) != 1) _exit(3);
      }
    }
    close(fds[1]);
    int seen = 0;
    while (seen < reports) {
      pollfd p{fds[0], POLLIN, 0};
      // A bound, not a pace: a child that stops reporting fails the test instead of hanging it.
      if (poll(&p, 1, 10000) != 1) break;
      char byte = 0;
      if (read(fds[0], &byte, 1) != 1) break;
      ++seen;
    }
    EXPECT_EQ(seen, reports);
    // An arbitrary moment inside the next save: a random amount of the parent's own work.
    for (int i = 0; i < spins; ++i) sched_yield();
    kill(pid, SIGKILL);
    int status = 0;
    waitpid(pid, &status, 0);
    EXPECT_TRUE(WIFSIGNALED(status) && WTERMSIG(status) == SIGKILL) << status;
    // The reports the child made while the parent was busy.
    char byte = 0;
    while (read(fds[0], &byte, 1) == 1) ++seen;
    close(fds[0]);
    return seen;
  }

  std::vector<std::string> Temporaries() const {
    std::vector<std::string> names;
    for (const auto& entry : fs::directory_iterator(folder_.Path())) {
      const std::string name = entry.path().filename().string();
      if (name.starts_with(".kestrostate.")) names.push_back(name);
    }
    return names;
  }

  static std::string Read(const char* name) {
    std::ifstream in(name, std::ios::binary);
    return {std::istreambuf_iterator<char>(in), {}};
  }

  TempDir folder_;
  fs::path previous_;
};

TEST_F(KilledSaves, EveryKillLeavesACompleteRecordThatWasWritten) {
  std::mt19937 random(17);
  int next = 1;
  int lastKnown = 0;  // the last serial surely on disk
  for (int kill = 0; kill < 200; ++kill) {
    const bool inside = kill % 2 == 1;
    const int reports = 1 + static_cast<int>(random() % 3);
    const int spins = static_cast<int>(random() % 2000);
    SCOPED_TRACE("kill " + std::to_string(kill) + (inside ? " inside a save" : " at random"));
    const int reported = SaveAndKill(next, reports, inside, spins);
    const int serial = SerialOf(Read(".kestrostate"));
    if (inside) {
      // Stopped with its temporary file made: the file holds the save before.
      EXPECT_EQ(reported, reports);
      EXPECT_EQ(serial, reports >= 2 ? next + reports - 2 : lastKnown);
      EXPECT_EQ(Temporaries().size(), 1u);
    } else {
      // The last reported save, or the one after it if its rename beat the kill.
      const int last = next + reported - 1;
      EXPECT_TRUE(serial == last || serial == last + 1) << serial << " after " << last;
      EXPECT_LE(Temporaries().size(), 1u);
    }
    lastKnown = serial;
    // What the next start does.
    xq_data_RemoveStaleTemporaries("./.kestrostate");
    EXPECT_TRUE(Temporaries().empty());
    next += reported + 1;
    if (HasFailure()) break;
  }
}

}  // namespace
