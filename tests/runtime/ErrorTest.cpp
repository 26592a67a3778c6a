// The failure path: its texts and exit statuses, run in child processes.
#include "runtime/Error.h"

#include <gtest/gtest.h>

#include <csignal>

#include "runtime/Collect.h"

namespace {

TEST(ErrorPath, EmptyMessageEndsTheProgramWithStatusZeroAndPrintsNothing) {
  EXPECT_EXIT(xqError(String()), testing::ExitedWithCode(0), "^$");
}

TEST(ErrorPath, MessageIsReportedAndEndsWithStatus255WithoutADebugger) {
  // Standard input is not a debugger: the stop reads end of input (or an unknown command) and exits.
  EXPECT_EXIT(
      {
        std::freopen("/dev/null", "r", stdin);
        xqError(String("Image frame outside surface"));
      },
      testing::ExitedWithCode(255), "");
}

TEST(ErrorPath, SignalsAreReportedByName) {
  testing::internal::CaptureStdout();
  EXPECT_EXIT(
      {
        std::freopen("/dev/null", "r", stdin);
        sighandler(SIGFPE);
      },
      testing::ExitedWithCode(255), "");
  testing::internal::GetCapturedStdout();
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
