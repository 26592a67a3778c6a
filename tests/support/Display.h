// The adapter on the test display: starting it, and handling window events while waiting for
// something that another process (the X server, xdotool) makes happen, so no clock can be injected.
#pragma once

#include <chrono>
#include <functional>
#include <thread>

#include "platform/glfw/Glfw2.h"

// An X server resets when its last client leaves and drops connections made during the reset, so
// a test started right after another may be turned away for a moment: try again for a while.
inline bool InitGlfw() {
  const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(5);
  while (glfw2::Init() != 1) {
    if (std::chrono::steady_clock::now() > deadline) return false;
    std::this_thread::sleep_for(std::chrono::milliseconds(20));
  }
  return true;
}

// Handles window events until done holds (true) or limit has passed (false).
inline bool PollEventsUntil(std::chrono::milliseconds limit, const std::function<bool()>& done) {
  const auto deadline = std::chrono::steady_clock::now() + limit;
  for (;;) {
    glfw2::PollEvents();
    if (done()) return true;
    if (std::chrono::steady_clock::now() > deadline) return false;
    std::this_thread::sleep_for(std::chrono::milliseconds(2));
  }
}
