// Helpers for host tests: a game whose platform seam is scripted (the loop's clock and window,
// without a window) and a delegate that records what the host calls; tests/support/Process.h runs
// code in a child process.
#pragma once

#include <functional>
#include <string>

#include "host/GameDelegate.h"
#include "host/LoopGame.h"
#include "tests/support/Process.h"

class ScriptedGame : public XQLoopGame {
 public:
  double now = 0;
  bool opened = true;
  bool active = true;
  bool iconified = false;
  int polls = 0;
  int waits = 0;
  int sleeps = 0;
  // Runs inside every poll (the place where window events arrive); may change any field.
  std::function<void()> onPoll;

  double Now() override { return now; }
  void PollEvents() override {
    ++polls;
    if (onPoll) onPoll();
  }
  XQWindowState WindowState() override {
    return {.open = opened, .active = active, .iconified = iconified};
  }

  // The blocking driver, its waits counted and its sleeps moving the clock.
  void RunLoop() {
    RunBlocking([this] { ++waits; },
                [this](double seconds) {
                  ++sleeps;
                  now += seconds;
                });
  }
};

// Writes one letter per call into log: S start, U update, R render, P suspend, Z resume,
// and "k<event>:<data>" for key events.
class RecordingDelegate : public XQGameDelegate {
 public:
  std::string log;
  std::function<void()> onStart;
  std::function<void()> onUpdate;

  void StartGame() override {
    log += 'S';
    if (onStart) onStart();
  }
  void SuspendGame() override { log += 'P'; }
  void ResumeGame() override { log += 'Z'; }
  void UpdateGame() override {
    log += 'U';
    if (onUpdate) onUpdate();
  }
  void RenderGame() override { log += 'R'; }
  void KeyEvent(int event, int data) override {
    // Appended piece by piece: "k" + std::to_string(...) makes GCC 12 warn (-Wrestrict) at -O3.
    log += 'k';
    log += std::to_string(event);
    log += ':';
    log += std::to_string(data);
  }
  void MouseEvent(int event, int data, float, float) override {
    log += 'm';
    log += std::to_string(event);
    log += ':';
    log += std::to_string(data);
  }
};
