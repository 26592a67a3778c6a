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
//   - joystick axes with odd numbers are negated so that positive means up or forward;
//   - a joystick GLFW recognises as a gamepad is read through its gamepad state and laid out in
//     the one layout of Glfw2.h, so every recognised make reads the same.
//   - keys already held down when a window opens (the F11 that switched to full screen, say) are
//     ignored in that window until they are let go: X repeats a held key into the new window, and
//     GLFW would report the first repeat there as a fresh press (on X only; with no X display
//     nothing is ignored).
// GLFW's errors are kept as text (LastError) instead of being lost: GLFW 2 had no error callback.
// A window destroyed while GLFW is delivering events (a callback that closes or replaces the
// window) is only hidden then, and destroyed when the poll or wait returns.
#include "host/Glfw2.h"

#include <GLFW/glfw3.h>
#define GLFW_EXPOSE_NATIVE_X11
#include <GLFW/glfw3native.h>
#include <fcntl.h>
#include <unistd.h>

#include <errno.h>

#include <algorithm>
#include <array>
#include <cctype>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <ctime>
#include <optional>
#include <string>
#include <string_view>
#include <thread>
#include <vector>

#include "runtime/Error.h"

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
  // Set: GLFW recognises this one as a gamepad and reports this state.
  std::optional<testing::GamepadState> gamepad;
};

#if defined(__SANITIZE_ADDRESS__)
#define DROMMEL_LSAN 1
#elif defined(__has_feature)
#if __has_feature(address_sanitizer)
#define DROMMEL_LSAN 1
#endif
#endif
#if defined(DROMMEL_LSAN)
#include <sanitizer/lsan_interface.h>
#endif

// Allocations made while one lives are never reported as leaks (sanitizer builds only).
struct LeakCheckPause {
  LeakCheckPause() {
#if defined(DROMMEL_LSAN)
    __lsan_disable();
#endif
  }
  ~LeakCheckPause() {
#if defined(DROMMEL_LSAN)
    __lsan_enable();
#endif
  }
  LeakCheckPause(const LeakCheckPause&) = delete;
  LeakCheckPause& operator=(const LeakCheckPause&) = delete;
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

void ErrorCallback(int, const char* description) {
  state.lastError = description ? description : "";
}

// With DROMMEL_FRAME_LOG naming a file, one line per key press ("k <ns>") and per buffer swap
// ("f <ns>"), wall-clock nanoseconds, for scripts/measure (start-up, frame intervals, key-to-screen
// latency). Off, it costs one test per event.
void LogTiming(char what) {
  static const int fd = [] {
    const char* path = std::getenv("DROMMEL_FRAME_LOG");
    return path != nullptr && *path != 0
               ? open(path, O_WRONLY | O_CREAT | O_TRUNC | O_APPEND | O_CLOEXEC, 0644)
               : -1;
  }();
  if (fd < 0) return;
  timespec now{};
  clock_gettime(CLOCK_REALTIME, &now);
  char line[40];
  const int length = std::snprintf(line, sizeof line, "%c %lld\n", what,
                                   static_cast<long long>(now.tv_sec) * 1000000000LL + now.tv_nsec);
  if (write(fd, line, static_cast<size_t>(length)) < 0) return;
}

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

// Records the keys held down as a window opens (see the file's header).
void RecordKeysHeldAcross() {
  state.heldAcross.clear();
  std::array<char, 32> keymap{};
  if (!QueryKeymap(keymap)) return;
  for (const KeyPair& pair : kKeyPairs) {
    if (IsDown(keymap, pair.glfw3)) state.heldAcross.push_back(pair.glfw3);
  }
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

// ---- Gamepads

static_assert(testing::PAD_A == GLFW_GAMEPAD_BUTTON_A &&
              testing::PAD_GUIDE == GLFW_GAMEPAD_BUTTON_GUIDE &&
              testing::PAD_DPAD_LEFT == GLFW_GAMEPAD_BUTTON_DPAD_LEFT &&
              testing::PAD_DPAD_LEFT == GLFW_GAMEPAD_BUTTON_LAST);
static_assert(testing::PAD_LEFT_X == GLFW_GAMEPAD_AXIS_LEFT_X &&
              testing::PAD_RIGHT_Y == GLFW_GAMEPAD_AXIS_RIGHT_Y &&
              testing::PAD_RIGHT_TRIGGER == GLFW_GAMEPAD_AXIS_LAST);
static_assert(sizeof(testing::GamepadState) == sizeof(GLFWgamepadstate));

// The gamepad button at each position of the adapter's layout.
constexpr int kPadButtonAt[kPadButtons] = {
    GLFW_GAMEPAD_BUTTON_A,           GLFW_GAMEPAD_BUTTON_B,
    GLFW_GAMEPAD_BUTTON_X,           GLFW_GAMEPAD_BUTTON_Y,
    GLFW_GAMEPAD_BUTTON_LEFT_BUMPER, GLFW_GAMEPAD_BUTTON_RIGHT_BUMPER,
    GLFW_GAMEPAD_BUTTON_BACK,        GLFW_GAMEPAD_BUTTON_START,
    GLFW_GAMEPAD_BUTTON_DPAD_LEFT,   GLFW_GAMEPAD_BUTTON_DPAD_UP,
    GLFW_GAMEPAD_BUTTON_DPAD_RIGHT,  GLFW_GAMEPAD_BUTTON_DPAD_DOWN,
    GLFW_GAMEPAD_BUTTON_LEFT_THUMB,  GLFW_GAMEPAD_BUTTON_RIGHT_THUMB,
    GLFW_GAMEPAD_BUTTON_GUIDE,
};

// One joystick's readings as the GLFW 2 calls hand them out. For a gamepad, `axes` and `buttons`
// point into `padAxes` and `padButtons`: a reading is filled in place and must not be copied.
struct JoystickReading {
  JoystickReading() = default;
  JoystickReading(const JoystickReading&) = delete;
  JoystickReading& operator=(const JoystickReading&) = delete;

  const float* axes = nullptr;
  int axisCount = 0;
  const unsigned char* buttons = nullptr;
  int buttonCount = 0;
  // Axes already in GLFW 2's directions (gamepads); raw axes still need their odd ones negated.
  bool directed = false;
  std::array<float, kPadAxes> padAxes{};
  std::array<unsigned char, kPadButtons> padButtons{};
};

// Lays a gamepad state out in the adapter's layout: the stick axes in GLFW 2's directions (GLFW 3
// reports down as positive), the triggers from -1..1 to 0..1 so that a released trigger reads 0.
// The axis order is that of GLFW 2's six-axis pads (both triggers between the sticks), which is
// the order the host reads the second stick and the triggers from.
void LayOutGamepad(const GLFWgamepadstate& pad, JoystickReading& out) {
  for (int i = 0; i < kPadButtons; ++i) {
    out.padButtons[static_cast<size_t>(i)] =
        pad.buttons[kPadButtonAt[i]] == GLFW_PRESS ? PRESS : RELEASE;
  }
  auto trigger = [](float v) { return std::clamp((v + 1) / 2, 0.0f, 1.0f); };
  out.padAxes = {pad.axes[GLFW_GAMEPAD_AXIS_LEFT_X],
                 -pad.axes[GLFW_GAMEPAD_AXIS_LEFT_Y],
                 trigger(pad.axes[GLFW_GAMEPAD_AXIS_LEFT_TRIGGER]),
                 pad.axes[GLFW_GAMEPAD_AXIS_RIGHT_X],
                 -pad.axes[GLFW_GAMEPAD_AXIS_RIGHT_Y],
                 trigger(pad.axes[GLFW_GAMEPAD_AXIS_RIGHT_TRIGGER])};
  out.axes = out.padAxes.data();
  out.axisCount = kPadAxes;
  out.buttons = out.padButtons.data();
  out.buttonCount = kPadButtons;
  out.directed = true;
}

// Reads joystick `joy` now; false when it is absent. GLFW notices joysticks plugged in or out as it
// polls, so nothing about a joystick is kept between reads.
bool ReadJoystick(int joy, JoystickReading& out) {
  if (!JoystickInRange(joy)) return false;
  if (state.fakeJoysticks) {
    const FakeJoystick* fake = Fake(joy);
    if (!fake) return false;
    if (fake->gamepad) {
      GLFWgamepadstate pad;
      static_assert(sizeof(pad.buttons) == sizeof(fake->gamepad->buttons));
      std::copy(std::begin(fake->gamepad->buttons), std::end(fake->gamepad->buttons),
                std::begin(pad.buttons));
      std::copy(std::begin(fake->gamepad->axes), std::end(fake->gamepad->axes),
                std::begin(pad.axes));
      LayOutGamepad(pad, out);
    } else {
      out.axes = fake->axes.data();
      out.axisCount = static_cast<int>(fake->axes.size());
      out.buttons = fake->buttons.data();
      out.buttonCount = static_cast<int>(fake->buttons.size());
    }
    return true;
  }
  if (!glfwJoystickPresent(joy)) return false;
  GLFWgamepadstate pad;
  if (glfwJoystickIsGamepad(joy) && glfwGetGamepadState(joy, &pad)) {
    LayOutGamepad(pad, out);
    return true;
  }
  out.axes = glfwGetJoystickAxes(joy, &out.axisCount);
  out.buttons = glfwGetJoystickButtons(joy, &out.buttonCount);
  // Unplugged between the calls.
  if (!out.axes) out.axisCount = 0;
  if (!out.buttons) out.buttonCount = 0;
  return true;
}

// ---- Gamepad mappings
//
// GLFW takes any text as mappings and silently skips lines it cannot use, so the adapter checks
// SDL's format itself and uses the text only when every line is a mapping.

constexpr std::string_view kMappingElements[] = {
    "a",
    "b",
    "x",
    "y",
    "back",
    "start",
    "guide",
    "leftshoulder",
    "rightshoulder",
    "leftstick",
    "rightstick",
    "dpup",
    "dpright",
    "dpdown",
    "dpleft",
    "lefttrigger",
    "righttrigger",
    "leftx",
    "lefty",
    "rightx",
    "righty",
};
// GLFW keeps mapping names in 128 bytes and passes over lines of 1024 bytes or more.
constexpr size_t kMappingNameLimit = 127;
constexpr size_t kMappingLineLimit = 1023;

bool IsDigits(std::string_view text) {
  return !text.empty() && std::all_of(text.begin(), text.end(), [](char c) {
    return std::isdigit(static_cast<unsigned char>(c)) != 0;
  });
}

// A joystick element: button "b3", axis "a2" (optionally half, "+a2" / "-a2", or inverted,
// "a2~") or hat direction "h0.4".
bool IsMappingElement(std::string_view value) {
  if (!value.empty() && (value[0] == '+' || value[0] == '-')) value.remove_prefix(1);
  if (value.empty()) return false;
  const char kind = value[0];
  value.remove_prefix(1);
  switch (kind) {
    case 'b':
      return IsDigits(value);
    case 'a':
      if (!value.empty() && value.back() == '~') value.remove_suffix(1);
      return IsDigits(value);
    case 'h': {
      const size_t dot = value.find('.');
      return dot != std::string_view::npos && IsDigits(value.substr(0, dot)) &&
             IsDigits(value.substr(dot + 1));
    }
    default:
      return false;
  }
}

bool IsMappingGuid(std::string_view guid) {
  // SDL's "xinput" stands for any XInput pad on Windows; GLFW passes over such lines.
  if (guid == "xinput") return true;
  return guid.size() == 32 && std::all_of(guid.begin(), guid.end(), [](char c) {
           return std::isxdigit(static_cast<unsigned char>(c)) != 0;
         });
}

// A field of the player's text, quoted for the report: at most 40 bytes, control characters as ?.
std::string Quoted(std::string_view field) {
  constexpr size_t kLimit = 40;
  std::string quoted = "\"";
  for (const char c : field.substr(0, kLimit)) {
    quoted += static_cast<unsigned char>(c) < 32 || c == 127 ? '?' : c;
  }
  return quoted + (field.size() > kLimit ? "...\"" : "\"");
}

// Splits off the text up to the next comma (all of it when there is none) and the comma.
std::string_view TakeField(std::string_view& line) {
  const size_t comma = line.find(',');
  const std::string_view field = line.substr(0, comma);
  line.remove_prefix(comma == std::string_view::npos ? line.size() : comma + 1);
  return field;
}

// Why `line` is not a mapping "GUID,name,field:value,...", or empty when it is one. Fields GLFW
// does not use (platform, misc1, paddles...) may hold anything.
std::string MappingFault(std::string_view line) {
  if (line.size() > kMappingLineLimit) return "it is longer than 1023 characters";
  if (!IsMappingGuid(TakeField(line))) {
    return "it does not start with a GUID of 32 hexadecimal digits";
  }
  const size_t nameEnd = line.find(',');
  if (nameEnd == std::string_view::npos) return "the name is not followed by a comma";
  if (nameEnd > kMappingNameLimit) return "the name is longer than 127 characters";
  line.remove_prefix(nameEnd + 1);
  while (!line.empty()) {
    const std::string_view field = TakeField(line);
    if (field.empty()) continue;
    const size_t colon = field.find(':');
    if (colon == std::string_view::npos || colon == 0) {
      return Quoted(field) + " is not a name:value pair";
    }
    std::string_view name = field.substr(0, colon);
    if (name[0] == '+' || name[0] == '-') name.remove_prefix(1);  // half-axis outputs
    const bool element = std::find(std::begin(kMappingElements), std::end(kMappingElements),
                                   name) != std::end(kMappingElements);
    if (element && !IsMappingElement(field.substr(colon + 1))) {
      return Quoted(field) + " does not name a button (b), axis (a) or hat (h)";
    }
  }
  return {};
}

// Hands `text` to GLFW when every line is a mapping, blank or a # comment; otherwise prints one
// line naming the first fault and uses none of it.
void LoadGamepadMappings(std::string_view text, const char* source) {
  std::string_view rest = text;
  int lineNumber = 0;
  while (!rest.empty()) {
    const size_t end = rest.find('\n');
    std::string_view line = rest.substr(0, end);
    rest.remove_prefix(end == std::string_view::npos ? rest.size() : end + 1);
    if (!line.empty() && line.back() == '\r') line.remove_suffix(1);
    ++lineNumber;
    if (line.find_first_not_of(" \t") == std::string_view::npos || line[0] == '#') continue;
    const std::string fault = MappingFault(line);
    if (!fault.empty()) {
      xqPrint(String::FromUtf8(std::string("Gamepad mappings in ") + source + " ignored: line " +
                               std::to_string(lineNumber) + ": " + fault));
      return;
    }
  }
  glfwUpdateGamepadMappings(std::string(text).c_str());
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
  glfwSetErrorCallback(ErrorCallback);
  state.lastError.clear();
  if (glfwInit() != GLFW_TRUE) return 0;
  // Players and launchers (Steam among them) pass extra gamepad mappings this way.
  if (const char* mappings = std::getenv("SDL_GAMECONTROLLERCONFIG")) {
    LoadGamepadMappings(mappings, "SDL_GAMECONTROLLERCONFIG");
  }
  return 1;
}

std::string LastError() {
  return state.lastError;
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
  if (state.profileHint == OPENGL_ES2_PROFILE) {
    glfwWindowHint(GLFW_CLIENT_API, GLFW_OPENGL_ES_API);
    glfwWindowHint(GLFW_CONTEXT_VERSION_MAJOR, 2);
    glfwWindowHint(GLFW_CONTEXT_VERSION_MINOR, 0);
  }
  state.profileHint = 0;
  // Desktops find a window's desktop entry, and so its icon, by its X11 class. As X toolkits do,
  // the instance is the program's name and the class the same name capitalised (drommel, Drommel).
  std::string instance = program_invocation_short_name;
  std::string windowClass = instance;
  if (!windowClass.empty()) {
    windowClass[0] = static_cast<char>(std::toupper(static_cast<unsigned char>(windowClass[0])));
  }
  glfwWindowHintString(GLFW_X11_INSTANCE_NAME, instance.c_str());
  glfwWindowHintString(GLFW_X11_CLASS_NAME, windowClass.c_str());

  state.lastError.clear();
  if (state.failNextOpen) {
    ErrorCallback(GLFW_PLATFORM_ERROR, state.failNextOpen->c_str());
    state.failNextOpen.reset();
    return 0;
  }
  GLFWmonitor* monitor = mode == FULLSCREEN ? glfwGetPrimaryMonitor() : nullptr;
  GLFWwindow* window = nullptr;
  {
    // The OpenGL driver keeps allocations made here for the life of the process, with stacks of
    // unnamed driver code that no leak suppression can match; the leak checker ignores them.
    const LeakCheckPause pause;
    window = glfwCreateWindow(width, height, "GLFW Window", monitor, nullptr);
  }
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
  RecordKeysHeldAcross();
  return 1;
}

void OpenWindowHint(int target, int hint) {
  if (target == WINDOW_NO_RESIZE) state.noResizeHint = hint;
  if (target == OPENGL_PROFILE) state.profileHint = hint;
}

void CloseWindow() {
  GLFWwindow* window = state.window;
  state.window = nullptr;
  state.opened = false;
  state.heldAcross.clear();
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

double GetTime() {
  return glfwGetTime();
}

void Sleep(double seconds) {
  if (seconds > 0) std::this_thread::sleep_for(std::chrono::duration<double>(seconds));
}

void SwapBuffers() {
  if (state.window) glfwSwapBuffers(state.window);
  LogTiming('f');
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
  JoystickReading reading;
  const bool present = ReadJoystick(joy, reading);
  switch (param) {
    case PRESENT:
      return present ? 1 : 0;
    case AXES:
      return reading.axisCount;
    case BUTTONS:
      return reading.buttonCount;
    default:
      return 0;
  }
}

int GetJoystickPos(int joy, float* pos, int numAxes) {
  if (!pos || numAxes <= 0) return 0;
  std::fill(pos, pos + numAxes, 0.0f);
  JoystickReading reading;
  if (!ReadJoystick(joy, reading)) return 0;
  const int count = std::min(reading.axisCount, numAxes);
  for (int i = 0; i < count; ++i) {
    const float axis = reading.axes[i];
    pos[i] = (i & 1) && !reading.directed ? -axis : axis;
  }
  return count;
}

int GetJoystickButtons(int joy, unsigned char* buttons, int numButtons) {
  if (!buttons || numButtons <= 0) return 0;
  std::fill(buttons, buttons + numButtons, static_cast<unsigned char>(RELEASE));
  JoystickReading reading;
  if (!ReadJoystick(joy, reading)) return 0;
  const int count = std::min(reading.buttonCount, numButtons);
  for (int i = 0; i < count; ++i) buttons[i] = reading.buttons[i] == GLFW_PRESS ? PRESS : RELEASE;
  return count;
}

namespace testing {

void SetJoystick(int joy, std::vector<float> axes, std::vector<unsigned char> buttons) {
  if (!JoystickInRange(joy)) return;
  if (!state.fakeJoysticks) state.fakeJoysticks.emplace();
  (*state.fakeJoysticks)[static_cast<size_t>(joy)] =
      FakeJoystick{std::move(axes), std::move(buttons), std::nullopt};
}

void SetGamepad(int joy, const GamepadState& pad) {
  if (!JoystickInRange(joy)) return;
  if (!state.fakeJoysticks) state.fakeJoysticks.emplace();
  (*state.fakeJoysticks)[static_cast<size_t>(joy)] = FakeJoystick{{}, {}, pad};
}

void RemoveJoystick(int joy) {
  if (!JoystickInRange(joy)) return;
  if (!state.fakeJoysticks) state.fakeJoysticks.emplace();
  (*state.fakeJoysticks)[static_cast<size_t>(joy)].reset();
}

void RemoveAllJoysticks() {
  state.fakeJoysticks.reset();
}

void FailNextOpenWindow(std::string error) {
  state.failNextOpen = std::move(error);
}

}  // namespace testing

}  // namespace glfw2
