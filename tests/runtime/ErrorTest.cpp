// The failure path: its texts and exit statuses, and the debugger stop, run in child processes
// whose standard input is a pipe that nobody writes to unless the test does.
#include "runtime/Error.h"

#include <gtest/gtest.h>

#include <fcntl.h>
#include <unistd.h>

#include <atomic>
#include <chrono>
#include <csignal>
#include <cstdio>
#include <cstdlib>
#include <functional>
#include <string>
#include <thread>
#include <utility>

#include "runtime/Collect.h"
#include "tests/support/Process.h"

namespace {

TEST(ErrorPath, EmptyMessageEndsTheProgramWithStatusZeroAndPrintsNothing) {
  EXPECT_EXIT(xqError(String()), testing::ExitedWithCode(0), "^$");
}

// A forked child running body with standard input and output on pipes held by the test. The
// input pipe stays open and idle unless the test writes to it: like a terminal nobody types into,
// it never reaches its end.
class Child {
 public:
  explicit Child(const std::function<void()>& body, const std::string& waitingInput = "") {
    int in[2], out[2];
    if (pipe(in) != 0 || pipe(out) != 0) return;
    if (!waitingInput.empty()) WriteAll(in[1], waitingInput);
    std::fflush(stdout);
    pid_ = fork();
    if (pid_ == 0) {
      dup2(in[0], STDIN_FILENO);
      dup2(out[1], STDOUT_FILENO);
      dup2(open("/dev/null", O_WRONLY), STDERR_FILENO);  // the debugger's marks
      for (int fd : {in[0], in[1], out[0], out[1]}) close(fd);
      body();
      _exit(0);
    }
    close(in[0]);
    close(out[1]);
    input_ = in[1];
    output_ = out[0];
  }
  ~Child() {
    if (pid_ > 0) WaitForExit(pid_, std::chrono::seconds(1));
    close(input_);
    close(output_);
  }
  // Exit status; -1 when the child did not end by itself within ten seconds (it is then killed).
  int Status() {
    const int status = WaitForExit(pid_, std::chrono::seconds(10));
    pid_ = -1;
    return status;
  }
  // Everything it wrote to standard output once it has ended.
  std::string Output() {
    std::string out;
    char buffer[256];
    ssize_t n;
    while ((n = read(output_, buffer, sizeof buffer)) > 0) out.append(buffer, size_t(n));
    return out;
  }
  // Reads its standard output until `text` has arrived (false when it ends first).
  bool AwaitOutput(const std::string& text) {
    std::string out;
    char c;
    while (out.find(text) == std::string::npos) {
      if (read(output_, &c, 1) != 1) return false;
      out += c;
    }
    return true;
  }
  void Type(const std::string& text) { WriteAll(input_, text); }

 private:
  static void WriteAll(int fd, const std::string& text) {
    if (write(fd, text.data(), text.size()) != ssize_t(text.size())) std::abort();
  }
  pid_t pid_ = -1;
  int input_ = -1;
  int output_ = -1;
};

const char kReport[] = "Kestro Runtime Error : Image frame outside surface\n\n";

TEST(ErrorPath, WithoutADebuggerAnErrorEndsAtOnceWithStatus255AfterItsMessage) {
  Child child([] {
    unsetenv("DROMMEL_DEBUGGER");
    xqError(String("Image frame outside surface"));
  });
  EXPECT_EQ(child.Status(), 255);
  EXPECT_EQ(child.Output(), kReport);
}

TEST(ErrorPath, ADebuggerDrivesTheStopWhenSwitchedOnOrWhenItsCommandsAreWaiting) {
  // Switched on: the stop waits for the debugger's first command.
  Child waiting([] {
    setenv("DROMMEL_DEBUGGER", "1", 1);
    xqError(String("Image frame outside surface"));
  });
  ASSERT_TRUE(waiting.AwaitOutput(kReport));
  waiting.Type("?\nq\n");
  EXPECT_EQ(waiting.Status(), 0);

  // Commands already waiting: a step reports the error again and stops again; unknown commands end
  // the program with their line echoed.
  Child stepped(
      [] {
        unsetenv("DROMMEL_DEBUGGER");
        xqError(String("Image frame outside surface"));
      },
      "s\nz\n");
  EXPECT_EQ(stepped.Status(), 255);
  EXPECT_EQ(stepped.Output(), std::string(kReport) + kReport + "????? z\n ?????");
}

TEST(ErrorPath, FatalSignalsAreReportedByNameAndEnd255) {
  const std::pair<int, const char*> names[] = {{SIGFPE, "Floating point exception"},
                                               {SIGSEGV, "Memory access violation"},
                                               {SIGILL, "Illegal instruction"},
                                               {SIGBUS, "Unknown signal"}};
  for (const auto& [signal, name] : names) {
    Child child([signal = signal] { sighandler(signal); });
    EXPECT_EQ(child.Status(), 255) << name;
    EXPECT_EQ(child.Output(), "Kestro Runtime Error : " + std::string(name) + "\n\n");
  }
}

TEST(ErrorPath, ASignalIsReportedEvenWhileAnotherThreadHoldsStandardOutput) {
  // A crash can come at any moment, here while standard output's lock is taken for good: the
  // report must not wait for it.
  Child child([] {
    unsetenv("DROMMEL_DEBUGGER");
    xqInstallSignalHandlers();
    std::atomic<bool> locked{false};
    std::thread holder([&] {
      flockfile(stdout);
      locked = true;
      for (;;) pause();
    });
    while (!locked) std::this_thread::yield();
    raise(SIGSEGV);
  });
  EXPECT_EQ(child.Status(), 255);
  EXPECT_EQ(child.Output(), "Kestro Runtime Error : Memory access violation\n\n");
}

TEST(Collect, RunsEachRegisteredSweeperOnceAndReportsFullSweepRequests) {
  static int calls = 0;
  Sweeper sweeper = [] { ++calls; };
  gc_AddSweeper(sweeper);
  gc_AddSweeper(sweeper);
  EXPECT_FALSE(gc_collect());
  EXPECT_EQ(calls, 1);
  gc_RequestFullSweep();
  EXPECT_TRUE(gc_collect());
  EXPECT_FALSE(gc_collect());
  gc_RemoveSweeper(sweeper);
  gc_collect();
  EXPECT_EQ(calls, 3);
}

}  // namespace
