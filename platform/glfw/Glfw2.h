// The GLFW 2 interface the host is written against, implemented over GLFW 3.3 in the adapter's
// files (Glfw2Window.cpp, Glfw2Events.cpp, ...; see Glfw2Adapter.h), the only ones that include
// GLFW. It keeps GLFW 2's key numbering, key repeat as repeated presses, the (character, action)
// character callback, the close callback that may refuse, the mode record ordered width, height,
// red, blue, green, and joysticks with odd axes negated (positive = up).
//
// GLFW 2 had no error callback: the adapter keeps the text of the last error GLFW reported
// (LastError) so that the host can say why a window did not open.
//
// A joystick GLFW recognises as a gamepad (its mapping database, plus the mappings in
// SDL_GAMECONTROLLERCONFIG, loaded by Init) reads in the one layout of host/Input.h (XQPad)
// whatever its make.
// Any other joystick reads GLFW's raw buttons and axes. Joysticks plugged in or out while the
// program runs show up or disappear at the next read; a joystick keeps its number while plugged in.
//
// Test seams (glfw2::testing): joystick and gamepad readings fed by tests, since these machines
// have none, and a window that refuses to open.
#pragma once

#include <string>
#include <vector>

#include "host/Input.h"

namespace glfw2 {

// Key codes: printable keys are their character (32-126, upper-case letters); special keys from
// 256.
enum Key : int {
  KEY_UNKNOWN = -1,
  KEY_SPACE = 32,
  KEY_SPECIAL = 256,
  KEY_ESC = 257,
  KEY_F1 = 258,  // F1-F25 are 258-282
  KEY_F25 = 282,
  KEY_UP = 283,
  KEY_DOWN = 284,
  KEY_LEFT = 285,
  KEY_RIGHT = 286,
  KEY_LSHIFT = 287,
  KEY_RSHIFT = 288,
  KEY_LCTRL = 289,
  KEY_RCTRL = 290,
  KEY_LALT = 291,
  KEY_RALT = 292,
  KEY_TAB = 293,
  KEY_ENTER = 294,
  KEY_BACKSPACE = 295,
  KEY_INSERT = 296,
  KEY_DEL = 297,
  KEY_PAGEUP = 298,
  KEY_PAGEDOWN = 299,
  KEY_HOME = 300,
  KEY_END = 301,
  KEY_KP_0 = 302,  // KP_0-KP_9 are 302-311
  KEY_KP_9 = 311,
  KEY_KP_DIVIDE = 312,
  KEY_KP_MULTIPLY = 313,
  KEY_KP_SUBTRACT = 314,
  KEY_KP_ADD = 315,
  KEY_KP_DECIMAL = 316,
  KEY_KP_EQUAL = 317,
  KEY_KP_ENTER = 318,
  KEY_KP_NUM_LOCK = 319,
  KEY_CAPS_LOCK = 320,
  KEY_SCROLL_LOCK = 321,
  KEY_PAUSE = 322,
  KEY_LSUPER = 323,
  KEY_RSUPER = 324,
  KEY_MENU = 325,
  KEY_LAST = KEY_MENU,
};

constexpr int RELEASE = 0;
constexpr int PRESS = 1;

// glfwOpenWindow modes.
constexpr int WINDOW = 0x00010001;
constexpr int FULLSCREEN = 0x00010002;

// GetWindowParam / OpenWindowHint tokens.
constexpr int OPENED = 0x00020001;
constexpr int ACTIVE = 0x00020002;
constexpr int ICONIFIED = 0x00020003;
constexpr int WINDOW_NO_RESIZE = 0x0002100C;
// With OPENGL_ES2_PROFILE, the next window's context is OpenGL ES 2.0 instead of desktop OpenGL.
constexpr int OPENGL_PROFILE = 0x00021012;
constexpr int OPENGL_ES2_PROFILE = 0x00050004;

// Enable / Disable tokens.
constexpr int MOUSE_CURSOR = 0x00030001;
constexpr int KEY_REPEAT = 0x00030005;
constexpr int AUTO_POLL_EVENTS = 0x00030006;

// Joystick parameters.
constexpr int PRESENT = 0x00050001;
constexpr int AXES = 0x00050002;
constexpr int BUTTONS = 0x00050003;

struct VidMode {
  int Width, Height;
  int RedBits, BlueBits, GreenBits;  // GLFW 2's order
};

using KeyFun = void (*)(int key, int action);
using CharFun = void (*)(int character, int action);
using MouseButtonFun = void (*)(int button, int action);
using MousePosFun = void (*)(int x, int y);
using WindowCloseFun = int (*)();  // return 0 to keep the window open

// 1 on success, 0 on failure (no display). When SDL_GAMECONTROLLERCONFIG is set, its gamepad
// mappings (SDL's format, one "GUID,name,field:element,..." per line) join GLFW's database; text
// not in that format is ignored whole, with one line on standard output saying why.
int Init();
// What GLFW said about its last error since Init or the last OpenWindow; empty when none.
std::string LastError();
void Terminate();
int OpenWindow(int width, int height, int red, int green, int blue, int alpha, int depth,
               int stencil, int mode);
// The windows opened so far: each has a new OpenGL context, so this counts the contexts.
int ContextsMade();
void OpenWindowHint(int target, int hint);
void CloseWindow();
void SetWindowPos(int x, int y);
void SetWindowTitle(const char* title);
int GetWindowParam(int param);
void GetWindowSize(int* width, int* height);
void GetDesktopMode(VidMode* mode);
int GetVideoModes(VidMode* list, int maxCount);
void PollEvents();
void WaitEvents();
double GetTime();
void Sleep(double seconds);
void SwapBuffers();
void Enable(int token);
void Disable(int token);
void SetKeyCallback(KeyFun callback);
void SetCharCallback(CharFun callback);
void SetMouseButtonCallback(MouseButtonFun callback);
void SetMousePosCallback(MousePosFun callback);
void SetWindowCloseCallback(WindowCloseFun callback);
int GetKey(int key);
void GetMousePos(int* x, int* y);
int GetJoystickParam(int joy, int param);
int GetJoystickPos(int joy, float* pos, int numAxes);
int GetJoystickButtons(int joy, unsigned char* buttons, int numButtons);

// The key table, both ways: a GLFW 3 key code to GLFW 2 numbering (KEY_UNKNOWN when GLFW 2 has no
// such key) and back (-1 when none).
int KeyFromGlfw3(int glfw3Key);
int KeyToGlfw3(int glfw2Key);

// The layout of a recognised gamepad (see the top of this file).
constexpr int kPadButtons = XQPad::Buttons;
constexpr int kPadAxes = XQPad::Axes;

namespace testing {
// Presents joystick `joy` (0-15), one GLFW does not recognise as a gamepad, with these raw
// readings in GLFW 3's directions; the adapter applies GLFW 2's meaning (odd axes negated) on the
// way out. Buttons hold PRESS or RELEASE.
// From the first SetJoystick, SetGamepad or RemoveJoystick on, the fed joysticks replace every real
// one (a slot never fed reads as absent) until RemoveAllJoysticks hands back the real devices.
void SetJoystick(int joy, std::vector<float> axes, std::vector<unsigned char> buttons);

// A gamepad reading as GLFW 3 reports a recognised joystick: its own button and axis numbers
// (below), buttons PRESS or RELEASE, stick y positive downwards, triggers -1 (released) to 1.
struct GamepadState {
  unsigned char buttons[15] = {};
  float axes[6] = {0, 0, 0, 0, -1, -1};
};
enum GamepadButton : int {
  PAD_A,
  PAD_B,
  PAD_X,
  PAD_Y,
  PAD_LEFT_BUMPER,
  PAD_RIGHT_BUMPER,
  PAD_BACK,
  PAD_START,
  PAD_GUIDE,
  PAD_LEFT_THUMB,
  PAD_RIGHT_THUMB,
  PAD_DPAD_UP,
  PAD_DPAD_RIGHT,
  PAD_DPAD_DOWN,
  PAD_DPAD_LEFT,
};
enum GamepadAxis : int {
  PAD_LEFT_X,
  PAD_LEFT_Y,
  PAD_RIGHT_X,
  PAD_RIGHT_Y,
  PAD_LEFT_TRIGGER,
  PAD_RIGHT_TRIGGER,
};
// Presents joystick `joy` (0-15) as a gamepad GLFW recognises, reading `pad`.
void SetGamepad(int joy, const GamepadState& pad);

void RemoveJoystick(int joy);
void RemoveAllJoysticks();
// The next OpenWindow fails as GLFW would, with this error text.
void FailNextOpenWindow(std::string error);
}  // namespace testing

}  // namespace glfw2
