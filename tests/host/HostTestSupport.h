// Helpers for host tests: a scripted platform that drives the loop's clock and window state without
// a window and a delegate that records what the host calls; tests/support/Process.h runs code in a
// child process.
#pragma once

#include <functional>
#include <string>

#include "host/GameDelegate.h"
#include "host/HostPlatform.h"
#include "platform/glfw/Glfw2.h"
#include "tests/support/Process.h"

class ScriptedPlatform : public HostPlatform {
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
  void Sleep(double seconds) override {
    ++sleeps;
    now += seconds;
  }
  void PollEvents() override {
    ++polls;
    if (onPoll) onPoll();
  }
  void WaitEvents() override { ++waits; }
  int GetWindowParam(int param) override {
    switch (param) {
      case glfw2::OPENED:
        return opened;
      case glfw2::ACTIVE:
        return active;
      case glfw2::ICONIFIED:
        return iconified;
      default:
        return 0;
    }
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
