// The GLFW 2 adapter's own shared parts: the one window's state and what the adapter's files hand
// each other. Only the adapter's files (platform/glfw/Glfw2*.cpp, GamepadMappings.cpp) include this
// header, and they are the only files that include GLFW. Glfw2.h is the adapter's interface.
//
//   Glfw2Window.cpp      start-up, the window and its context, modes, time, buffer swap
//   Glfw2Events.cpp      event delivery, input callbacks and switches, keys held across windows
//   Glfw2Keys.cpp        the key table between GLFW 3 and GLFW 2 numbering
//   Glfw2Joysticks.cpp   joysticks, the gamepad layout and the joysticks tests feed
//   GamepadMappings.cpp  the check of SDL gamepad mappings before GLFW gets them
//   Glfw2FrameLog.cpp    the timing log of key presses and buffer swaps
#pragma once

#include <GLFW/glfw3.h>

#include <optional>
#include <span>
#include <string>
#include <string_view>
#include <vector>

#include "platform/glfw/Glfw2.h"

namespace glfw2::adapter {

struct KeyPair {
  int glfw2;
  int glfw3;
};
// Every key GLFW 2 knows, with its GLFW 3 counterpart.
std::span<const KeyPair> KnownKeys();

// The one window and the GLFW 2 state around it.
struct State {
  GLFWwindow* window = nullptr;
  bool opened = false;
  // Windows (each with its own OpenGL context) opened since the process started.
  int contextsMade = 0;
  // Windows closed while GLFW was delivering events; destroyed when it returns.
  std::vector<GLFWwindow*> doomed;
  int eventDepth = 0;
  bool keyRepeat = false;
  bool autoPoll = true;
  bool cursorVisible = true;
  // The last key event was dropped, and so is the character that follows it.
  bool lastKeyDropped = false;
  // GLFW 3 keys that were down when the window opened and have not been let go since.
  std::vector<int> heldAcross;
  int noResizeHint = 0;
  int profileHint = 0;
  std::string lastError;
  std::optional<std::string> failNextOpen;  // a test's refusal for the next OpenWindow
  KeyFun keyFun = nullptr;
  CharFun charFun = nullptr;
  MouseButtonFun mouseButtonFun = nullptr;
  MousePosFun mousePosFun = nullptr;
  WindowCloseFun windowCloseFun = nullptr;
};
extern State state;

void DestroyDoomed();

// Runs one GLFW event call and settles what its callbacks left behind: windows closed from a
// callback, and a close request that the close callback accepted.
template <class F>
void DeliverEvents(F&& call) {
  ++state.eventDepth;
  call();
  --state.eventDepth;
  if (state.eventDepth > 0) return;
  DestroyDoomed();
  if (state.window && glfwWindowShouldClose(state.window)) CloseWindow();
}

void ErrorCallback(int error, const char* description);
void ApplyCursorMode();

// Connects the window's input to the adapter's callbacks.
void ConnectInput(GLFWwindow* window);
// Records the keys held down as a window opens (see Glfw2Events.cpp).
void RecordKeysHeldAcross();

// With DROMMEL_FRAME_LOG naming a file, one line per key press ("k <ns>") and per buffer swap
// ("f <ns>"), wall-clock nanoseconds, for scripts/measure (start-up, frame intervals, key-to-screen
// latency). Off, it costs one test per event.
void LogTiming(char what);

// Hands `text` to GLFW when every line is a mapping, blank or a # comment; otherwise prints one
// line naming the first fault and uses none of it.
void LoadGamepadMappings(std::string_view text, const char* source);

}  // namespace glfw2::adapter
