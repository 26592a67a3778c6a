// The GLFW 2 interface of host/Glfw2.h implemented over GLFW 3.3. This is the only file that
// includes GLFW.
//
// GLFW 2 had one window, so the adapter keeps one GLFW 3 window and the GLFW 2 state around it: the
// "opened" flag, the key-repeat and automatic-polling switches, the cursor mode and the five
// callbacks. GLFW 3 events are translated on their way to those callbacks:
//   - key codes are renumbered through a full table (the two numberings share numbers for
//     different keys, so no offset would do);
//   - key repeats arrive as presses while key repeat is enabled and are dropped otherwise;
//   - characters arrive as (character, PRESS);
//   - a close request goes to the close callback, and a 0 result clears GLFW 3's should-close flag;
//   - joystick axes with odd numbers are negated so that positive means up or forward.
// A window destroyed while GLFW is delivering events (a callback that closes or replaces the
// window) is only hidden then, and destroyed when the poll or wait returns.
#include "host/Glfw2.h"

#include <GLFW/glfw3.h>

#include <errno.h>

#include <algorithm>
#include <array>
#include <cctype>
#include <chrono>
#include <optional>
#include <string>
#include <thread>

namespace glfw2 {
namespace {

constexpr int kJoysticks = GLFW_JOYSTICK_LAST + 1;

struct KeyPair {
  int glfw2;
  int glfw3;
};

// Every key GLFW 2 knows, with its GLFW 3 counterpart.
constexpr KeyPair kKeyPairs[] = {
    {KEY_SPACE, GLFW_KEY_SPACE},
    {'\'', GLFW_KEY_APOSTROPHE},
    {',', GLFW_KEY_COMMA},
    {'-', GLFW_KEY_MINUS},
    {'.', GLFW_KEY_PERIOD},
    {'/', GLFW_KEY_SLASH},
    {'0', GLFW_KEY_0},
    {'1', GLFW_KEY_1},
    {'2', GLFW_KEY_2},
    {'3', GLFW_KEY_3},
    {'4', GLFW_KEY_4},
    {'5', GLFW_KEY_5},
    {'6', GLFW_KEY_6},
    {'7', GLFW_KEY_7},
    {'8', GLFW_KEY_8},
    {'9', GLFW_KEY_9},
    {';', GLFW_KEY_SEMICOLON},
    {'=', GLFW_KEY_EQUAL},
    {'A', GLFW_KEY_A},
    {'B', GLFW_KEY_B},
    {'C', GLFW_KEY_C},
    {'D', GLFW_KEY_D},
    {'E', GLFW_KEY_E},
    {'F', GLFW_KEY_F},
    {'G', GLFW_KEY_G},
    {'H', GLFW_KEY_H},
    {'I', GLFW_KEY_I},
    {'J', GLFW_KEY_J},
    {'K', GLFW_KEY_K},
    {'L', GLFW_KEY_L},
    {'M', GLFW_KEY_M},
    {'N', GLFW_KEY_N},
    {'O', GLFW_KEY_O},
    {'P', GLFW_KEY_P},
    {'Q', GLFW_KEY_Q},
    {'R', GLFW_KEY_R},
    {'S', GLFW_KEY_S},
    {'T', GLFW_KEY_T},
    {'U', GLFW_KEY_U},
    {'V', GLFW_KEY_V},
    {'W', GLFW_KEY_W},
    {'X', GLFW_KEY_X},
    {'Y', GLFW_KEY_Y},
    {'Z', GLFW_KEY_Z},
    {'[', GLFW_KEY_LEFT_BRACKET},
    {'\\', GLFW_KEY_BACKSLASH},
    {']', GLFW_KEY_RIGHT_BRACKET},
    {'`', GLFW_KEY_GRAVE_ACCENT},
    {KEY_ESC, GLFW_KEY_ESCAPE},
    {KEY_F1 + 0, GLFW_KEY_F1},
    {KEY_F1 + 1, GLFW_KEY_F2},
    {KEY_F1 + 2, GLFW_KEY_F3},
    {KEY_F1 + 3, GLFW_KEY_F4},
    {KEY_F1 + 4, GLFW_KEY_F5},
    {KEY_F1 + 5, GLFW_KEY_F6},
    {KEY_F1 + 6, GLFW_KEY_F7},
    {KEY_F1 + 7, GLFW_KEY_F8},
    {KEY_F1 + 8, GLFW_KEY_F9},
    {KEY_F1 + 9, GLFW_KEY_F10},
    {KEY_F1 + 10, GLFW_KEY_F11},
    {KEY_F1 + 11, GLFW_KEY_F12},
    {KEY_F1 + 12, GLFW_KEY_F13},
    {KEY_F1 + 13, GLFW_KEY_F14},
    {KEY_F1 + 14, GLFW_KEY_F15},
    {KEY_F1 + 15, GLFW_KEY_F16},
    {KEY_F1 + 16, GLFW_KEY_F17},
    {KEY_F1 + 17, GLFW_KEY_F18},
    {KEY_F1 + 18, GLFW_KEY_F19},
    {KEY_F1 + 19, GLFW_KEY_F20},
    {KEY_F1 + 20, GLFW_KEY_F21},
    {KEY_F1 + 21, GLFW_KEY_F22},
    {KEY_F1 + 22, GLFW_KEY_F23},
    {KEY_F1 + 23, GLFW_KEY_F24},
    {KEY_F1 + 24, GLFW_KEY_F25},
    {KEY_UP, GLFW_KEY_UP},
    {KEY_DOWN, GLFW_KEY_DOWN},
    {KEY_LEFT, GLFW_KEY_LEFT},
    {KEY_RIGHT, GLFW_KEY_RIGHT},
    {KEY_LSHIFT, GLFW_KEY_LEFT_SHIFT},
    {KEY_RSHIFT, GLFW_KEY_RIGHT_SHIFT},
    {KEY_LCTRL, GLFW_KEY_LEFT_CONTROL},
    {KEY_RCTRL, GLFW_KEY_RIGHT_CONTROL},
    {KEY_LALT, GLFW_KEY_LEFT_ALT},
    {KEY_RALT, GLFW_KEY_RIGHT_ALT},
    {KEY_TAB, GLFW_KEY_TAB},
    {KEY_ENTER, GLFW_KEY_ENTER},
    {KEY_BACKSPACE, GLFW_KEY_BACKSPACE},
    {KEY_INSERT, GLFW_KEY_INSERT},
    {KEY_DEL, GLFW_KEY_DELETE},
    {KEY_PAGEUP, GLFW_KEY_PAGE_UP},
    {KEY_PAGEDOWN, GLFW_KEY_PAGE_DOWN},
    {KEY_HOME, GLFW_KEY_HOME},
    {KEY_END, GLFW_KEY_END},
    {KEY_KP_0 + 0, GLFW_KEY_KP_0},
    {KEY_KP_0 + 1, GLFW_KEY_KP_1},
    {KEY_KP_0 + 2, GLFW_KEY_KP_2},
    {KEY_KP_0 + 3, GLFW_KEY_KP_3},
    {KEY_KP_0 + 4, GLFW_KEY_KP_4},
    {KEY_KP_0 + 5, GLFW_KEY_KP_5},
    {KEY_KP_0 + 6, GLFW_KEY_KP_6},
    {KEY_KP_0 + 7, GLFW_KEY_KP_7},
    {KEY_KP_0 + 8, GLFW_KEY_KP_8},
    {KEY_KP_0 + 9, GLFW_KEY_KP_9},
    {KEY_KP_DIVIDE, GLFW_KEY_KP_DIVIDE},
    {KEY_KP_MULTIPLY, GLFW_KEY_KP_MULTIPLY},
    {KEY_KP_SUBTRACT, GLFW_KEY_KP_SUBTRACT},
    {KEY_KP_ADD, GLFW_KEY_KP_ADD},
    {KEY_KP_DECIMAL, GLFW_KEY_KP_DECIMAL},
    {KEY_KP_EQUAL, GLFW_KEY_KP_EQUAL},
    {KEY_KP_ENTER, GLFW_KEY_KP_ENTER},
    {KEY_KP_NUM_LOCK, GLFW_KEY_NUM_LOCK},
    {KEY_CAPS_LOCK, GLFW_KEY_CAPS_LOCK},
    {KEY_SCROLL_LOCK, GLFW_KEY_SCROLL_LOCK},
    {KEY_PAUSE, GLFW_KEY_PAUSE},
    {KEY_LSUPER, GLFW_KEY_LEFT_SUPER},
    {KEY_RSUPER, GLFW_KEY_RIGHT_SUPER},
    {KEY_MENU, GLFW_KEY_MENU},
};

// Both directions of the table, indexed by key code.
struct KeyTables {
  std::array<int, GLFW_KEY_LAST + 1> from3;
  std::array<int, KEY_LAST + 1> to3;
  KeyTables() {
    from3.fill(KEY_UNKNOWN);
    to3.fill(-1);
    for (const KeyPair& pair : kKeyPairs) {
      from3[static_cast<size_t>(pair.glfw3)] = pair.glfw2;
      to3[static_cast<size_t>(pair.glfw2)] = pair.glfw3;
    }
  }
};
const KeyTables kTables;

struct FakeJoystick {
  std::vector<float> axes;
  std::vector<unsigned char> buttons;
};

struct State {
  GLFWwindow* window = nullptr;
  bool opened = false;
  // Windows closed while GLFW was delivering events; destroyed when it returns.
  std::vector<GLFWwindow*> doomed;
  int eventDepth = 0;
  bool keyRepeat = false;
  bool autoPoll = true;
  bool cursorVisible = true;
  bool lastKeyWasRepeat = false;
  int noResizeHint = 0;
  KeyFun keyFun = nullptr;
  CharFun charFun = nullptr;
  MouseButtonFun mouseButtonFun = nullptr;
  MousePosFun mousePosFun = nullptr;
  WindowCloseFun windowCloseFun = nullptr;
  // Set once a test feeds joysticks: then these take the place of every real joystick.
  std::optional<std::array<std::optional<FakeJoystick>, kJoysticks>> fakeJoysticks;
};
State state;

void DestroyDoomed() {
  for (GLFWwindow* window : state.doomed) glfwDestroyWindow(window);
  state.doomed.clear();
}

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

void KeyCallback(GLFWwindow*, int key, int, int action, int) {
  state.lastKeyWasRepeat = action == GLFW_REPEAT;
  if (action == GLFW_REPEAT) {
    if (!state.keyRepeat) return;
    action = GLFW_PRESS;
  }
  const int code = KeyFromGlfw3(key);
  if (code == KEY_UNKNOWN || !state.keyFun) return;
  state.keyFun(code, action == GLFW_PRESS ? PRESS : RELEASE);
}

void CharCallback(GLFWwindow*, unsigned int codepoint) {
  // The character of a key repeat follows its key event; without key repeat it is dropped too.
  if (state.lastKeyWasRepeat && !state.keyRepeat) return;
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

void ApplyCursorMode() {
  if (state.window) {
    glfwSetInputMode(state.window, GLFW_CURSOR,
                     state.cursorVisible ? GLFW_CURSOR_NORMAL : GLFW_CURSOR_HIDDEN);
  }
}

VidMode ToVidMode(const GLFWvidmode& mode) {
  return VidMode{mode.width, mode.height, mode.redBits, mode.blueBits, mode.greenBits};
}

const FakeJoystick* Fake(int joy) {
  const auto& slot = (*state.fakeJoysticks)[static_cast<size_t>(joy)];
  return slot ? &*slot : nullptr;
}

bool JoystickInRange(int joy) {
  return joy >= 0 && joy < kJoysticks;
}

}  // namespace

int KeyFromGlfw3(int glfw3Key) {
  if (glfw3Key < 0 || glfw3Key > GLFW_KEY_LAST) return KEY_UNKNOWN;
  return kTables.from3[static_cast<size_t>(glfw3Key)];
}

int KeyToGlfw3(int glfw2Key) {
  if (glfw2Key < 0 || glfw2Key > KEY_LAST) return -1;
  return kTables.to3[static_cast<size_t>(glfw2Key)];
}

int Init() {
  return glfwInit() == GLFW_TRUE ? 1 : 0;
}

void Terminate() {
  if (state.window) glfwDestroyWindow(state.window);
  state.window = nullptr;
  state.opened = false;
  DestroyDoomed();
  glfwTerminate();
}

int OpenWindow(int width, int height, int red, int green, int blue, int alpha, int depth,
               int stencil, int mode) {
  CloseWindow();
  // GLFW 2 filled in a missing size with 640 x 480 or a 4:3 partner of the given side.
  if (width <= 0 && height <= 0) {
    width = 640;
    height = 480;
  } else if (width <= 0) {
    width = height * 4 / 3;
  } else if (height <= 0) {
    height = width * 3 / 4;
  }
  // GLFW 3 keeps hints from one window to the next; GLFW 2 started every window afresh.
  glfwDefaultWindowHints();
  glfwWindowHint(GLFW_RED_BITS, red > 0 ? red : GLFW_DONT_CARE);
  glfwWindowHint(GLFW_GREEN_BITS, green > 0 ? green : GLFW_DONT_CARE);
  glfwWindowHint(GLFW_BLUE_BITS, blue > 0 ? blue : GLFW_DONT_CARE);
  glfwWindowHint(GLFW_ALPHA_BITS, std::max(alpha, 0));
  glfwWindowHint(GLFW_DEPTH_BITS, std::max(depth, 0));
  glfwWindowHint(GLFW_STENCIL_BITS, std::max(stencil, 0));
  glfwWindowHint(GLFW_RESIZABLE, state.noResizeHint ? GLFW_FALSE : GLFW_TRUE);
  state.noResizeHint = 0;
  // Desktops find a window's desktop entry, and so its icon, by its X11 class. As X toolkits do,
  // the instance is the program's name and the class the same name capitalised (drommel, Drommel).
  std::string instance = program_invocation_short_name;
  std::string windowClass = instance;
  if (!windowClass.empty()) {
    windowClass[0] = static_cast<char>(std::toupper(static_cast<unsigned char>(windowClass[0])));
  }
  glfwWindowHintString(GLFW_X11_INSTANCE_NAME, instance.c_str());
  glfwWindowHintString(GLFW_X11_CLASS_NAME, windowClass.c_str());

  GLFWmonitor* monitor = mode == FULLSCREEN ? glfwGetPrimaryMonitor() : nullptr;
  GLFWwindow* window = glfwCreateWindow(width, height, "GLFW Window", monitor, nullptr);
  if (!window) return 0;
  state.window = window;
  state.opened = true;
  glfwMakeContextCurrent(window);
  glfwSetKeyCallback(window, KeyCallback);
  glfwSetCharCallback(window, CharCallback);
  glfwSetMouseButtonCallback(window, MouseButtonCallback);
  glfwSetCursorPosCallback(window, CursorPosCallback);
  glfwSetWindowCloseCallback(window, WindowCloseCallback);
  ApplyCursorMode();
  return 1;
}

void OpenWindowHint(int target, int hint) {
  if (target == WINDOW_NO_RESIZE) state.noResizeHint = hint;
}

void CloseWindow() {
  GLFWwindow* window = state.window;
  state.window = nullptr;
  state.opened = false;
  if (!window) return;
  if (glfwGetCurrentContext() == window) glfwMakeContextCurrent(nullptr);
  if (state.eventDepth > 0) {
    // GLFW forbids destroying a window from inside its own callbacks.
    glfwHideWindow(window);
    glfwSetWindowUserPointer(window, nullptr);
    glfwSetKeyCallback(window, nullptr);
    glfwSetCharCallback(window, nullptr);
    glfwSetMouseButtonCallback(window, nullptr);
    glfwSetCursorPosCallback(window, nullptr);
    glfwSetWindowCloseCallback(window, nullptr);
    state.doomed.push_back(window);
  } else {
    glfwDestroyWindow(window);
  }
}

void SetWindowPos(int x, int y) {
  if (state.window) glfwSetWindowPos(state.window, x, y);
}

void SetWindowTitle(const char* title) {
  if (state.window) glfwSetWindowTitle(state.window, title);
}

int GetWindowParam(int param) {
  if (!state.window) return 0;
  switch (param) {
    case OPENED:
      return state.opened ? 1 : 0;
    case ACTIVE:
      return glfwGetWindowAttrib(state.window, GLFW_FOCUSED);
    case ICONIFIED:
      return glfwGetWindowAttrib(state.window, GLFW_ICONIFIED);
    default:
      return 0;
  }
}

void GetWindowSize(int* width, int* height) {
  int w = 0, h = 0;
  if (state.window) glfwGetWindowSize(state.window, &w, &h);
  if (width) *width = w;
  if (height) *height = h;
}

void GetDesktopMode(VidMode* mode) {
  if (!mode) return;
  *mode = VidMode{0, 0, 0, 0, 0};
  GLFWmonitor* monitor = glfwGetPrimaryMonitor();
  const GLFWvidmode* current = monitor ? glfwGetVideoMode(monitor) : nullptr;
  if (current) *mode = ToVidMode(*current);
}

int GetVideoModes(VidMode* list, int maxCount) {
  if (!list || maxCount <= 0) return 0;
  GLFWmonitor* monitor = glfwGetPrimaryMonitor();
  if (!monitor) return 0;
  int count = 0;
  const GLFWvidmode* modes = glfwGetVideoModes(monitor, &count);
  if (!modes) return 0;
  count = std::min(count, maxCount);
  for (int i = 0; i < count; ++i) list[i] = ToVidMode(modes[i]);
  return count;
}

void PollEvents() {
  DeliverEvents([] { glfwPollEvents(); });
}

void WaitEvents() {
  DeliverEvents([] { glfwWaitEvents(); });
}

double GetTime() {
  return glfwGetTime();
}

void Sleep(double seconds) {
  if (seconds > 0) std::this_thread::sleep_for(std::chrono::duration<double>(seconds));
}

void SwapBuffers() {
  if (state.window) glfwSwapBuffers(state.window);
  if (state.autoPoll) PollEvents();
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

int GetJoystickParam(int joy, int param) {
  if (!JoystickInRange(joy)) return 0;
  int axes = 0, buttons = 0;
  bool present = false;
  if (state.fakeJoysticks) {
    if (const FakeJoystick* fake = Fake(joy)) {
      present = true;
      axes = static_cast<int>(fake->axes.size());
      buttons = static_cast<int>(fake->buttons.size());
    }
  } else if (glfwJoystickPresent(joy)) {
    present = true;
    glfwGetJoystickAxes(joy, &axes);
    glfwGetJoystickButtons(joy, &buttons);
  }
  switch (param) {
    case PRESENT:
      return present ? 1 : 0;
    case AXES:
      return axes;
    case BUTTONS:
      return buttons;
    default:
      return 0;
  }
}

int GetJoystickPos(int joy, float* pos, int numAxes) {
  if (!pos || numAxes <= 0) return 0;
  std::fill(pos, pos + numAxes, 0.0f);
  if (!JoystickInRange(joy)) return 0;
  const float* axes = nullptr;
  int count = 0;
  if (state.fakeJoysticks) {
    if (const FakeJoystick* fake = Fake(joy)) {
      axes = fake->axes.data();
      count = static_cast<int>(fake->axes.size());
    }
  } else if (glfwJoystickPresent(joy)) {
    axes = glfwGetJoystickAxes(joy, &count);
  }
  if (!axes) return 0;
  count = std::min(count, numAxes);
  for (int i = 0; i < count; ++i) pos[i] = (i & 1) ? -axes[i] : axes[i];
  return count;
}

int GetJoystickButtons(int joy, unsigned char* buttons, int numButtons) {
  if (!buttons || numButtons <= 0) return 0;
  std::fill(buttons, buttons + numButtons, static_cast<unsigned char>(RELEASE));
  if (!JoystickInRange(joy)) return 0;
  const unsigned char* states = nullptr;
  int count = 0;
  if (state.fakeJoysticks) {
    if (const FakeJoystick* fake = Fake(joy)) {
      states = fake->buttons.data();
      count = static_cast<int>(fake->buttons.size());
    }
  } else if (glfwJoystickPresent(joy)) {
    states = glfwGetJoystickButtons(joy, &count);
  }
  if (!states) return 0;
  count = std::min(count, numButtons);
  for (int i = 0; i < count; ++i) buttons[i] = states[i] == GLFW_PRESS ? PRESS : RELEASE;
  return count;
}

namespace testing {

void SetJoystick(int joy, std::vector<float> axes, std::vector<unsigned char> buttons) {
  if (!JoystickInRange(joy)) return;
  if (!state.fakeJoysticks) state.fakeJoysticks.emplace();
  (*state.fakeJoysticks)[static_cast<size_t>(joy)] =
      FakeJoystick{std::move(axes), std::move(buttons)};
}

void RemoveJoystick(int joy) {
  if (!JoystickInRange(joy)) return;
  if (!state.fakeJoysticks) state.fakeJoysticks.emplace();
  (*state.fakeJoysticks)[static_cast<size_t>(joy)].reset();
}

void RemoveAllJoysticks() {
  state.fakeJoysticks.reset();
}

}  // namespace testing

}  // namespace glfw2
