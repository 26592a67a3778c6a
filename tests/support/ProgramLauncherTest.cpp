// The tests' program launcher and tool runner themselves: a program that never opens a window and
// one that never ends both come back as failures within the time allowed and are gone when the
// launcher goes, and a tool or a forked child that does not answer is killed at its limit.
#include <gtest/gtest.h>
#include <signal.h>
#include <unistd.h>

#include <cerrno>
#include <chrono>
#include <cstdio>

#include "tests/support/Process.h"
#include "tests/support/Program.h"
#include "tests/support/TempDir.h"

namespace {

using namespace std::chrono_literals;
using Clock = std::chrono::steady_clock;

// Generous slack over each limit: the machine may be busy, but nothing may wait unbounded.
constexpr auto kSlack = 5s;

Program::Options Sleeper(const TempDir& folder) {
  Program::Options options;
  options.exe = "/bin/sleep";
  options.arguments = {"600"};
  options.folder = folder.Path();
  return options;
}

bool Gone(pid_t pid) {
  return kill(pid, 0) != 0 && errno == ESRCH;
}

TEST(ProgramLauncher, AProgramThatNeverOpensAWindowFailsTheWaitAndIsKilledWithTheLauncher) {
  TempDir folder;
  pid_t pid = -1;
  {
    Program program(Sleeper(folder));
    ASSERT_TRUE(program.Started());
    pid = program.Pid();
    const auto start = Clock::now();
    EXPECT_EQ(program.WaitForWindow(1500ms), "");
    EXPECT_LT(Clock::now() - start, 1500ms + kSlack);
    EXPECT_TRUE(program.Running());
    EXPECT_NE(program.Report("waiting for the window").find("still running"), std::string::npos);
  }
  EXPECT_TRUE(Gone(pid)) << "the launcher left its program running";
}

TEST(ProgramLauncher, AProgramThatNeverEndsFailsTheWaitForItsExitAndIsKilled) {
  TempDir folder;
  Program program(Sleeper(folder));
  ASSERT_TRUE(program.Started());
  const auto start = Clock::now();
  EXPECT_EQ(program.WaitForExit(1000ms), std::nullopt);
  EXPECT_LT(Clock::now() - start, 1000ms + kSlack);
  EXPECT_FALSE(program.Running());
  EXPECT_TRUE(Gone(program.Pid()));
}

TEST(ProgramLauncher, RunsInItsFolderWithItsEnvironmentAndLogsBothOutputs) {
  TempDir folder;
  Program::Options options;
  options.exe = "/bin/sh";
  options.arguments = {"-c",
                       "pwd; echo \"$KEPT/$SET/${GONE-unset}\"; echo oops >&2; read x; exit 3"};
  options.folder = folder.Path();
  options.set = {"SET=yes"};
  options.unset = {"GONE"};
  setenv("KEPT", "kept", 1);
  setenv("GONE", "there", 1);
  Program program(options);
  unsetenv("GONE");
  // "read" meets the end of its input at once rather than waiting for a person.
  EXPECT_EQ(program.WaitForExit(10s), 3) << program.Report("running the shell");
  EXPECT_EQ(program.Log(), folder.Path().string() + "\nkept/yes/unset\noops\n");
}

TEST(ToolRunner, KillsAToolThatDoesNotAnswerAtItsLimitAndReportsIt) {
  const auto start = Clock::now();
  // The shell's child keeps the output open: it must be killed too, or the read would wait.
  const ToolResult result = RunTool("sleep 600 & sleep 600", 500ms);
  EXPECT_LT(Clock::now() - start, 500ms + kSlack);
  EXPECT_TRUE(result.timedOut);
  EXPECT_FALSE(result.Ok());
  EXPECT_EQ(RunTool("cat; echo done").out, "done\n") << "standard input is not closed";
  EXPECT_EQ(RunTool("exit 4").status, 4);
}

TEST(ChildRunner, KillsAChildStillRunningAtItsLimitAndKeepsWhatItWrote) {
  const auto start = Clock::now();
  const ChildResult hung = RunInChild(
      [] {
        std::fputs("waiting\n", stdout);
        std::fflush(stdout);
        pause();
      },
      500ms);
  EXPECT_LT(Clock::now() - start, 500ms + kSlack);
  EXPECT_EQ(hung.status, -1);
  EXPECT_EQ(hung.out, "waiting\n");
  EXPECT_EQ(RunInChild([] { _exit(3); }).status, 3);
}

}  // namespace
