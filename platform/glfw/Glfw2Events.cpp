// The GLFW 2 adapter's events: delivery, the input callbacks and switches, and keys held across a
// change of window.
//   - key codes are renumbered through the key table (Glfw2Keys.cpp);
//   - key repeats arrive as presses while key repeat is enabled and are dropped otherwise;
//   - characters arrive as (character, PRESS);
//   - a close request goes to the close callback, and a 0 result clears GLFW 3's should-close flag;
//   - keys already held down when a window opens (the F11 that switched to full screen, say) are
//     ignored in that window until they are let go: X repeats a held key into the new window, and
//     GLFW would report the first repeat there as a fresh press (on X only; with no X display
//     nothing is ignored).
#include <algorithm>
#include <array>
#include <vector>

#include "platform/glfw/Glfw2Adapter.h"

#define GLFW_EXPOSE_NATIVE_X11
#include <GLFW/glfw3native.h>

namespace glfw2 {
namespace adapter {
namespace {

// Which keys X says are down now, as XQueryKeymap's bit per X key code; false without X.
bool QueryKeymap(std::array<char, 32>& keymap) {
  Display* display = glfwGetX11Display();
  if (!display) return false;
  XQueryKeymap(display, keymap.data());
  return true;
}

bool IsDown(const std::array<char, 32>& keymap, int glfw3Key) {
  const int code = glfwGetKeyScancode(glfw3Key);  // the X key code on X
  if (code < 0 || code >= 256) return false;
  return (keymap[static_cast<size_t>(code / 8)] >> (code % 8)) & 1;
}

bool HeldAcross(int glfw3Key) {
  return std::find(state.heldAcross.begin(), state.heldAcross.end(), glfw3Key) !=
         state.heldAcross.end();
}

void KeyCallback(GLFWwindow*, int key, int, int action, int) {
  state.lastKeyDropped = false;
  if (!state.heldAcross.empty() && HeldAcross(key)) {
    // Its press went to the window before; its release here ends the hold and is dropped too, as
    // this window never reported the key down.
    if (action == GLFW_RELEASE) std::erase(state.heldAcross, key);
    state.lastKeyDropped = true;
    return;
  }
  if (action == GLFW_PRESS) LogTiming('k');
  if (action == GLFW_REPEAT) {
    state.lastKeyDropped = !state.keyRepeat;
    if (!state.keyRepeat) return;
    action = GLFW_PRESS;
  }
  const int code = KeyFromGlfw3(key);
  if (code == KEY_UNKNOWN || !state.keyFun) return;
  state.keyFun(code, action == GLFW_PRESS ? PRESS : RELEASE);
}

void CharCallback(GLFWwindow*, unsigned int codepoint) {
  // A character follows its key event and goes where the key event went.
  if (state.lastKeyDropped) return;
  if (codepoint < 32 || (codepoint > 126 && codepoint < 160)) return;
  if (state.charFun) state.charFun(static_cast<int>(codepoint), PRESS);
}

void MouseButtonCallback(GLFWwindow*, int button, int action, int) {
  if (state.mouseButtonFun) state.mouseButtonFun(button, action == GLFW_PRESS ? PRESS : RELEASE);
}

void CursorPosCallback(GLFWwindow*, double x, double y) {
  if (state.mousePosFun) state.mousePosFun(static_cast<int>(x), static_cast<int>(y));
}

void WindowCloseCallback(GLFWwindow* window) {
  // GLFW 3 has already set the should-close flag; a 0 from the callback withdraws the request.
  if (state.windowCloseFun && state.windowCloseFun() == 0) {
    glfwSetWindowShouldClose(window, GLFW_FALSE);
  }
}

}  // namespace

void RecordKeysHeldAcross() {
  state.heldAcross.clear();
  std::array<char, 32> keymap{};
  if (!QueryKeymap(keymap)) return;
  for (const KeyPair& pair : KnownKeys()) {
    if (IsDown(keymap, pair.glfw3)) state.heldAcross.push_back(pair.glfw3);
  }
}

void ConnectInput(GLFWwindow* window) {
  glfwSetKeyCallback(window, KeyCallback);
  glfwSetCharCallback(window, CharCallback);
  glfwSetMouseButtonCallback(window, MouseButtonCallback);
  glfwSetCursorPosCallback(window, CursorPosCallback);
  glfwSetWindowCloseCallback(window, WindowCloseCallback);
}

namespace {

// Ends the hold of keys let go without GLFW reporting it: GLFW passes on no release of a key whose
// press it did not report, as when a key is tapped just before a window opens. A key GLFW has
// reported down ends its hold with its release event instead. Events X sent before the keys were
// looked at are handled first (still held), so no repeat from before the release gets through.
void EndHoldsOfKeysLetGo() {
  if (state.heldAcross.empty() || state.eventDepth > 0) return;
  std::array<char, 32> keymap{};
  if (!state.window || !QueryKeymap(keymap)) {
    state.heldAcross.clear();
    return;
  }
  std::vector<int> up;
  for (const int key : state.heldAcross) {
    if (!IsDown(keymap, key) && glfwGetKey(state.window, key) == GLFW_RELEASE) up.push_back(key);
  }
  if (up.empty()) return;
  GLFWwindow* window = state.window;
  DeliverEvents([] { glfwPollEvents(); });
  // A window closed or opened by those events has its own account of held keys.
  if (state.window != window) return;
  for (const int key : up) {
    if (glfwGetKey(state.window, key) == GLFW_RELEASE) std::erase(state.heldAcross, key);
  }
}

}  // namespace
}  // namespace adapter

using namespace adapter;

void PollEvents() {
  DeliverEvents([] { glfwPollEvents(); });
  EndHoldsOfKeysLetGo();
}

void WaitEvents() {
  // While keys are held from before the window opened, wake now and then to notice them let go.
  if (state.heldAcross.empty()) {
    DeliverEvents([] { glfwWaitEvents(); });
  } else {
    DeliverEvents([] { glfwWaitEventsTimeout(0.05); });
  }
  EndHoldsOfKeysLetGo();
}

void Enable(int token) {
  switch (token) {
    case KEY_REPEAT:
      state.keyRepeat = true;
      break;
    case AUTO_POLL_EVENTS:
      state.autoPoll = true;
      break;
    case MOUSE_CURSOR:
      state.cursorVisible = true;
      ApplyCursorMode();
      break;
    default:
      break;
  }
}

void Disable(int token) {
  switch (token) {
    case KEY_REPEAT:
      state.keyRepeat = false;
      break;
    case AUTO_POLL_EVENTS:
      state.autoPoll = false;
      break;
    case MOUSE_CURSOR:
      state.cursorVisible = false;
      ApplyCursorMode();
      break;
    default:
      break;
  }
}

void SetKeyCallback(KeyFun callback) {
  state.keyFun = callback;
}
void SetCharCallback(CharFun callback) {
  state.charFun = callback;
}
void SetMouseButtonCallback(MouseButtonFun callback) {
  state.mouseButtonFun = callback;
}

void SetMousePosCallback(MousePosFun callback) {
  state.mousePosFun = callback;
  // GLFW 2 told a newly installed callback where the cursor is.
  if (callback && state.window) {
    double x = 0, y = 0;
    glfwGetCursorPos(state.window, &x, &y);
    callback(static_cast<int>(x), static_cast<int>(y));
  }
}

void SetWindowCloseCallback(WindowCloseFun callback) {
  state.windowCloseFun = callback;
}

int GetKey(int key) {
  const int glfw3Key = KeyToGlfw3(key);
  if (!state.window || glfw3Key < 0) return RELEASE;
  return glfwGetKey(state.window, glfw3Key) == GLFW_PRESS ? PRESS : RELEASE;
}

void GetMousePos(int* x, int* y) {
  double cx = 0, cy = 0;
  if (state.window) glfwGetCursorPos(state.window, &cx, &cy);
  if (x) *x = static_cast<int>(cx);
  if (y) *y = static_cast<int>(cy);
}

}  // namespace glfw2
