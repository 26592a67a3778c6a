// The input device: the state of every input kept between updates, and the input module's queries.
//
// The host's events (key, character, mouse, touch, accelerometer) reach c_InputDevice through the
// game delegate at any time during event polling; the game reads the state during its update
// through the xq_input_ functions, which use the module's current device.
//
//   auto input = c_InputDevice::m_new();        // the delegate, in StartGame
//   xq_input_SetInputDevice(input);
//   input->p_KeyEvent(kEventKeyDown, 32);        // the delegate, per host event
//   input->p_BeginUpdate();                      // the delegate, around each update:
//   if (xq_input_KeyHit(32)) Jump();             //   the game reads the state
//   input->p_EndUpdate();                        //   hits and typed characters are cleared
//
// Key codes are 0-511: keyboard keys by virtual-key number, 1 left, 2 right, 3 middle mouse button,
// 256 + 32 * port + button for joystick buttons (ports 0-3, buttons 0-31), 384 + n for touch n,
// 416 the back key, 432 the close key.
//
// Hit counts and typed characters live for one update: events that arrive between two updates count
// in the next one and are cleared at its end. At most 33 hits count per update and at most 32
// characters are queued; the rest are dropped. Codes, touch indices, joystick ports and axis
// indices outside their ranges are ignored by the event side and read as 0 / false by the queries,
// so bad values never reach outside a table. With no device set, every query reads 0 / false.
#pragma once

#include <array>
#include <memory>

#include "host/Game.h"
#include "runtime/Array.h"

// One joystick port's last readings: two sticks' x, y and z axes, and 32 buttons (true = pressed).
// The host fills these arrays in place when the port is polled.
class c_JoyState {
 public:
  c_JoyState();

  Array<float> joyx;
  Array<float> joyy;
  Array<float> joyz;
  Array<bool> buttons;

  // Button b (0-31), false outside.
  bool p_Button(int b) const;
};

class c_InputDevice {
 public:
  static constexpr int kKeyCount = 512;
  static constexpr int kHitQueueSize = 33;
  static constexpr int kCharQueueSize = 32;
  static constexpr int kTouchCount = 32;
  static constexpr int kJoyPorts = 4;
  static constexpr int kJoyButtons = 32;
  static constexpr int kKeyJoyFirst = 256;
  static constexpr int kKeyTouchFirst = 384;

  // `host` is asked for joystick readings in p_BeginUpdate; with none, no joystick is polled.
  explicit c_InputDevice(XQGame* host = XQGame::Host());
  static std::shared_ptr<c_InputDevice> m_new(XQGame* host = XQGame::Host());

  // Event side, called by the delegate with the host's event codes (c_XQGameEvent).
  // KeyDown / KeyUp / KeyChar. A KeyDown of a key already down (auto-repeat) counts no hit. The
  // left mouse button (1) and the first touch (384) mirror each other.
  void p_KeyEvent(int event, int data);
  // MouseDown / MouseUp of button `data` (0 left, 1 right, 2 middle) / MouseMove, at window pixels.
  void p_MouseEvent(int event, int data, float x, float y);
  // TouchDown / TouchUp / TouchMove of touch `data` (0-31; others are ignored).
  void p_TouchEvent(int event, int data, float x, float y);
  // MotionAccel: the accelerometer reading.
  void p_MotionEvent(int event, int data, float x, float y, float z);
  // Counts one hit of `code` in this update, unless the update's 33 hits are used up.
  void p_PutKeyHit(int code);
  // Start of each update: polls joystick ports 0-3 in turn, stopping at the first absent one, and
  // turns their buttons into key-down state and hits. A port read last time and not now (its
  // joystick unplugged, or one before it) releases its buttons and centres its axes.
  void p_BeginUpdate();
  // End of each update: clears this update's hit counts and empties the character queue.
  void p_EndUpdate();

  // Query side (the xq_input_ functions read these on the module's device).
  bool p_KeyDown(int key) const;  // key 1-511
  int p_KeyHit(int key) const;    // key 1-511
  // The next character typed during this update, 0 when none is left.
  int p_GetChar();
  float p_MouseX() const { return _mouseX; }
  float p_MouseY() const { return _mouseY; }
  bool p_MouseDown(int button) const;       // button 0-510
  int p_MouseHit(int button) const;         // button 0-510
  bool p_TouchDown(int index) const;        // index -383 to 127
  float p_TouchX(int index) const;          // index 0-31
  float p_TouchY(int index) const;          // index 0-31
  float p_JoyX(int index, int port) const;  // index 0-1, port 0-3
  float p_JoyY(int index, int port) const;
  float p_JoyZ(int index, int port) const;
  // `button` is a joystick key code of port 0 (256 + b) or a plain button number b; the port is
  // folded in, giving 256 + 32 * port + b.
  bool p_JoyDown(int button, int port) const;
  int p_JoyHit(int button, int port) const;
  float p_AccelX() const { return _accelX; }
  float p_AccelY() const { return _accelY; }
  float p_AccelZ() const { return _accelZ; }

  // The key code JoyDown / JoyHit read for (button, port); -1 when it lies outside 0-511 or the
  // port outside 0-3.
  static int JoyKeyCode(int button, int port);

  // Port 0-3's readings; any other port reads an all-zero state.
  const c_JoyState& p_JoyState(int port) const;

 private:
  void KeyDown(int code);
  void KeyUp(int code);
  void SetPosition(int touch, float x, float y);
  void ReleaseJoystick(int port);

  XQGame* _host;
  std::array<c_JoyState, kJoyPorts> _joyStates;
  // Ports the last update read.
  std::array<bool, kJoyPorts> _joyRead{};
  std::array<bool, kKeyCount> _keyDown{};
  int _keyHitPut = 0;
  std::array<int, kHitQueueSize> _keyHitQueue{};
  std::array<int, kKeyCount> _keyHit{};
  int _charGet = 0;
  int _charPut = 0;
  std::array<int, kCharQueueSize> _charQueue{};
  float _mouseX = 0;
  float _mouseY = 0;
  std::array<float, kTouchCount> _touchX{};
  std::array<float, kTouchCount> _touchY{};
  float _accelX = 0;
  float _accelY = 0;
  float _accelZ = 0;
};

// The input module: the current device and the queries the game calls during its update.
extern std::shared_ptr<c_InputDevice> xq_input_device;

int xq_input_SetInputDevice(std::shared_ptr<c_InputDevice> device);
bool xq_input_KeyDown(int key);
int xq_input_KeyHit(int key);
int xq_input_GetChar();
float xq_input_MouseX();
float xq_input_MouseY();
bool xq_input_MouseDown(int button);
int xq_input_MouseHit(int button);
bool xq_input_TouchDown(int index);
float xq_input_TouchX(int index);
float xq_input_TouchY(int index);
float xq_input_JoyX(int index, int port);
float xq_input_JoyY(int index, int port);
float xq_input_JoyZ(int index, int port);
bool xq_input_JoyDown(int button, int port);
int xq_input_JoyHit(int button, int port);
float xq_input_AccelX();
float xq_input_AccelY();
float xq_input_AccelZ();
// Tell the host whether the game wants text input; the desktop host records it and delivers
// characters either way. Both return true.
bool xq_input_EnableKeyboard();
bool xq_input_DisableKeyboard();
