// The host's main loop and its guarded delegate calls, run on a scripted clock and window.
#include <gtest/gtest.h>

#include "host/Input.h"
#include "runtime/Collect.h"
#include "tests/host/HostTestSupport.h"

namespace {

class Loop : public ::testing::Test {
 protected:
  void SetUp() override { host.SetDelegate(&delegate); }

  // Runs the loop until `passes` polls have happened, then reports the window gone.
  void RunPasses(int passes, std::function<void(int pass)> script = {}) {
    host.onPoll = [this, passes, script] {
      delegate.log += '|';
      if (host.polls > passes) host.opened = false;
      if (script) script(host.polls);
    };
    host.RunLoop();
  }

  RecordingDelegate delegate;
  ScriptedGame host;
};

TEST_F(Loop, WithoutAnUpdateRateItRendersOncePerEventAndNeverUpdates) {
  host.StartGame();
  RunPasses(3);
  EXPECT_EQ(delegate.log, "S|R|R|R|");
  EXPECT_EQ(host.waits, 3);
  EXPECT_EQ(host.sleeps, 0);
}

TEST_F(Loop, UpdatesAtAFixedRateWithOneFramePerUpdate) {
  delegate.onStart = [this] { host.SetUpdateRate(60); };
  host.StartGame();
  EXPECT_DOUBLE_EQ(host.NextUpdate(), 1.0 / 60);  // the first update comes one period later
  RunPasses(20);
  // Passes alternate: sleep until due, then one update and its frame.
  EXPECT_EQ(delegate.log, "S||UR||UR||UR||UR||UR||UR||UR||UR||UR||UR|");
  EXPECT_NEAR(host.now, 10.0 / 60, 1e-9);
}

TEST_F(Loop, AfterAStallFourUpdatesRunThenOneFrameAndTheScheduleRestarts) {
  host.SetUpdateRate(60);
  host.StartGame();
  RunPasses(8, [this](int pass) {
    if (pass == 3) host.now += 10.0 / 60;  // the machine stalls for ten periods
  });
  // Pass 3 works off 4 updates, renders once and drops the rest of the backlog; pass 4 finds the
  // next update due now, then the old rhythm of sleep, update resumes.
  EXPECT_EQ(delegate.log, "S||UR|UUUUR|UR||UR||UR|");
  EXPECT_DOUBLE_EQ(host.NextUpdate(), host.now + 1.0 / 60);
}

TEST_F(Loop, AnUpdateThatStopsTheUpdateRateEndsThePassEarly) {
  host.SetUpdateRate(60);
  delegate.onUpdate = [this] { host.SetUpdateRate(0); };
  host.StartGame();
  RunPasses(4, [this](int pass) {
    if (pass == 1) host.now += 1.0;
  });
  EXPECT_EQ(delegate.log, "S|UR|R|R|R|");
}

TEST_F(Loop, LosingFocusSuspendsButKeepsRenderingAfterEachEvent) {
  host.SetUpdateRate(60);
  host.StartGame();
  RunPasses(6, [this](int pass) {
    if (pass == 3) host.active = false;
    if (pass == 5) {
      host.active = true;
      host.now += 5.0;  // away for a while: no backlog may build up
    }
  });
  // Resuming restarts the schedule: one update, then a sleep, not a burst of four.
  EXPECT_EQ(delegate.log, "S||UR|PR|R|ZUR||");
  EXPECT_EQ(host.waits, 2);
  EXPECT_FALSE(host.Suspended());
}

TEST_F(Loop, MinimisingSuspendsAndStopsRenderingUntilRestored) {
  host.SetUpdateRate(60);
  host.StartGame();
  RunPasses(6, [this](int pass) {
    if (pass == 2) {
      host.iconified = true;
      host.active = false;
    }
    if (pass == 5) {
      host.iconified = false;
      host.active = true;
    }
  });
  EXPECT_EQ(delegate.log, "S||P|||ZUR||");
}

TEST_F(Loop, MinimisingAfterFocusWasLostAlsoStopsRendering) {
  host.StartGame();
  RunPasses(4, [this](int pass) {
    if (pass == 2) host.active = false;
    if (pass == 3) host.iconified = true;
  });
  EXPECT_EQ(delegate.log, "S|R|PR|||");
}

TEST_F(Loop, EndsAsSoonAsTheWindowIsGone) {
  host.StartGame();
  host.opened = false;
  host.RunLoop();
  EXPECT_EQ(delegate.log, "S");
  EXPECT_EQ(host.polls, 1);
}

TEST_F(Loop, MillisecsReadsTheHostClock) {
  host.now = 12.3456;
  EXPECT_EQ(host.Millisecs(), 12345);
}

TEST(HostCalls, AreDroppedBeforeStartAndGuardedBySuspension) {
  RecordingDelegate delegate;
  XQGame host;
  host.SetDelegate(&delegate);
  host.KeyEvent(kEventKeyDown, 32);
  host.UpdateGame();
  host.RenderGame();
  host.SuspendGame();
  host.ResumeGame();
  EXPECT_EQ(delegate.log, "");

  host.StartGame();
  host.StartGame();
  host.SuspendGame();
  host.SuspendGame();
  host.UpdateGame();
  host.RenderGame();
  host.KeyEvent(kEventKeyDown, 32);
  host.ResumeGame();
  host.ResumeGame();
  host.UpdateGame();
  EXPECT_EQ(delegate.log, "SPRk1:32ZU");
}

int sweeps = 0;
void CountSweep() {
  ++sweeps;
}

TEST(HostCalls, EachDelegateCallIsFollowedByOneCollectionStep) {
  RecordingDelegate delegate;
  XQGame host;
  host.SetDelegate(&delegate);
  gc_AddSweeper(CountSweep);
  sweeps = 0;
  host.StartGame();
  host.UpdateGame();
  host.RenderGame();
  host.MouseEvent(kEventMouseMove, -1, 1, 2);
  gc_RemoveSweeper(CountSweep);
  EXPECT_EQ(sweeps, 4);
}

struct GameOver : ThrowableObject {};

TEST(HostCalls, AnExceptionEscapingTheGameEndsTheProgramWithItsMessage) {
  struct Throwing : RecordingDelegate {
    void UpdateGame() override { throw GameOver(); }
  };
  const ChildResult result = RunInChild([] {
    Throwing delegate;
    XQGame host;
    host.SetDelegate(&delegate);
    host.StartGame();
    host.UpdateGame();
  });
  EXPECT_EQ(result.status, 255);
  EXPECT_EQ(result.out, "Kestro Runtime Error : Uncaught Kestro Exception\n");
}

TEST(HostCalls, GetDateFillsAsManyFieldsAsTheArrayHolds) {
  XQGame host;
  Array<int> date(8);
  date[7] = 99;
  host.GetDate(date);
  EXPECT_GE(date[0], 2024);
  EXPECT_GE(date[1], 1);
  EXPECT_LE(date[1], 12);
  EXPECT_GE(date[2], 1);
  EXPECT_LE(date[2], 31);
  EXPECT_LE(date[3], 23);
  EXPECT_LE(date[4], 59);
  EXPECT_LE(date[5], 60);
  EXPECT_EQ(date[6], 0);
  EXPECT_EQ(date[7], 99);

  Array<int> year(1);
  host.GetDate(year);
  EXPECT_EQ(year[0], date[0]);
  host.GetDate(Array<int>());
}

TEST_F(Loop, ReleasingKeysLetsGoOfExactlyTheKeysStillHeldOnce) {
  host.StartGame();
  host.KeyEvent(kEventKeyDown, XQKey::Shift);
  host.KeyEvent(kEventKeyDown, 'A');
  host.KeyEvent(kEventKeyUp, 'A');
  host.KeyEvent(kEventKeyDown, kKeyClose);
  delegate.log.clear();
  host.ReleaseKeys();
  EXPECT_EQ(delegate.log, "k2:16k2:432");
  host.ReleaseKeys();
  EXPECT_EQ(delegate.log, "k2:16k2:432");  // nothing is held any more
}

}  // namespace
