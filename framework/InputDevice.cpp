// The input device's bookkeeping (key-down table, per-update hits and characters, positions,
// joystick polling) and the input module's queries.
#include "framework/InputDevice.h"

#include <utility>

namespace {

bool IsKeyCode(int code) {
  return code >= 0 && code < c_InputDevice::kKeyCount;
}

// Array<bool> keeps its elements packed, so they are reached through its iterators rather than
// operator[] (which hands out element references).
bool ReadButton(const Array<bool>& buttons, int b) {
  return buttons.InRange(b) && buttons.begin()[b];
}

const c_JoyState& NoJoystick() {
  static const c_JoyState none;
  return none;
}

}  // namespace

// ---- c_JoyState ---------------------------------------------------------------------------------

c_JoyState::c_JoyState() : joyx(2), joyy(2), joyz(2), buttons(c_InputDevice::kJoyButtons) {}

bool c_JoyState::p_Button(int b) const {
  return ReadButton(buttons, b);
}

// ---- c_InputDevice: events ----------------------------------------------------------------------

c_InputDevice::c_InputDevice(XQGame* host) : _host(host) {}

std::shared_ptr<c_InputDevice> c_InputDevice::m_new(XQGame* host) {
  return std::make_shared<c_InputDevice>(host);
}

void c_InputDevice::KeyDown(int code) {
  if (!IsKeyCode(code) || _keyDown[code]) return;
  _keyDown[code] = true;
  p_PutKeyHit(code);
  // The left mouse button and the first touch are one pointer.
  if (code == 1) {
    _keyDown[kKeyTouchFirst] = true;
    p_PutKeyHit(kKeyTouchFirst);
  } else if (code == kKeyTouchFirst) {
    _keyDown[1] = true;
    p_PutKeyHit(1);
  }
}

void c_InputDevice::KeyUp(int code) {
  if (!IsKeyCode(code) || !_keyDown[code]) return;
  _keyDown[code] = false;
  if (code == 1) {
    _keyDown[kKeyTouchFirst] = false;
  } else if (code == kKeyTouchFirst) {
    _keyDown[1] = false;
  }
}

void c_InputDevice::p_KeyEvent(int event, int data) {
  switch (event) {
    case kEventKeyDown:
      KeyDown(data);
      break;
    case kEventKeyUp:
      KeyUp(data);
      break;
    case kEventKeyChar:
      if (_charPut < kCharQueueSize) _charQueue[_charPut++] = data;
      break;
    default:
      break;
  }
}

void c_InputDevice::p_PutKeyHit(int code) {
  if (_keyHitPut == kHitQueueSize || !IsKeyCode(code)) return;
  _keyHit[code] += 1;
  _keyHitQueue[_keyHitPut++] = code;
}

// Touch 0 and the mouse share one position.
void c_InputDevice::SetPosition(int touch, float x, float y) {
  _touchX[touch] = x;
  _touchY[touch] = y;
  if (touch == 0) {
    _mouseX = x;
    _mouseY = y;
  }
}

void c_InputDevice::p_MouseEvent(int event, int data, float x, float y) {
  switch (event) {
    case kEventMouseDown:
      // Buttons beyond the key table count nothing but still move the pointer.
      if (data >= 0 && data < kKeyCount - 1) KeyDown(data + 1);
      SetPosition(0, x, y);
      break;
    case kEventMouseUp:
      if (data >= 0 && data < kKeyCount - 1) KeyUp(data + 1);
      break;
    case kEventMouseMove:
      SetPosition(0, x, y);
      break;
    default:
      break;
  }
}

void c_InputDevice::p_TouchEvent(int event, int data, float x, float y) {
  if (data < 0 || data >= kTouchCount) return;
  switch (event) {
    case kEventTouchDown:
      KeyDown(kKeyTouchFirst + data);
      SetPosition(data, x, y);
      break;
    case kEventTouchUp:
      KeyUp(kKeyTouchFirst + data);
      break;
    case kEventTouchMove:
      SetPosition(data, x, y);
      break;
    default:
      break;
  }
}

void c_InputDevice::p_MotionEvent(int event, int /*data*/, float x, float y, float z) {
  if (event != kEventMotionAccel) return;
  _accelX = x;
  _accelY = y;
  _accelZ = z;
}

void c_InputDevice::p_BeginUpdate() {
  if (!_host) return;
  int port = 0;
  for (; port < kJoyPorts; ++port) {
    c_JoyState& joy = _joyStates[port];
    // Ports are filled from 0 up: the first absent one ends the scan.
    if (!_host->PollJoystick(port, joy.joyx, joy.joyy, joy.joyz, joy.buttons)) break;
    _joyRead[port] = true;
    for (int b = 0; b < kJoyButtons; ++b) {
      const int code = kKeyJoyFirst + kJoyButtons * port + b;
      if (!joy.p_Button(b)) {
        _keyDown[code] = false;
      } else if (!_keyDown[code]) {
        _keyDown[code] = true;
        p_PutKeyHit(code);
      }
    }
  }
  // The host leaves an absent port's last readings in place: a joystick unplugged with a button
  // or the stick held would hold it for ever. Its port, and the ports after it that are no longer
  // read, let go of everything once.
  for (; port < kJoyPorts; ++port) {
    if (std::exchange(_joyRead[port], false)) ReleaseJoystick(port);
  }
}

void c_InputDevice::ReleaseJoystick(int port) {
  c_JoyState& joy = _joyStates[port];
  for (int b = 0; b < kJoyButtons; ++b) KeyUp(kKeyJoyFirst + kJoyButtons * port + b);
  joy.joyx.Fill(0);
  joy.joyy.Fill(0);
  joy.joyz.Fill(0);
  joy.buttons.Fill(false);
}

void c_InputDevice::p_EndUpdate() {
  for (int i = 0; i < _keyHitPut; ++i) _keyHit[_keyHitQueue[i]] = 0;
  _keyHitPut = 0;
  _charGet = 0;
  _charPut = 0;
}

// ---- c_InputDevice: queries ---------------------------------------------------------------------

bool c_InputDevice::p_KeyDown(int key) const {
  return key > 0 && key < kKeyCount && _keyDown[key];
}

int c_InputDevice::p_KeyHit(int key) const {
  return key > 0 && key < kKeyCount ? _keyHit[key] : 0;
}

int c_InputDevice::p_GetChar() {
  if (_charGet == _charPut) return 0;
  return _charQueue[_charGet++];
}

bool c_InputDevice::p_MouseDown(int button) const {
  return button >= 0 && button < kKeyCount - 1 && p_KeyDown(button + 1);
}

int c_InputDevice::p_MouseHit(int button) const {
  return button >= 0 && button < kKeyCount - 1 ? p_KeyHit(button + 1) : 0;
}

bool c_InputDevice::p_TouchDown(int index) const {
  return index > -kKeyTouchFirst && index < kKeyCount - kKeyTouchFirst &&
         _keyDown[kKeyTouchFirst + index];
}

float c_InputDevice::p_TouchX(int index) const {
  return index >= 0 && index < kTouchCount ? _touchX[index] : 0;
}

float c_InputDevice::p_TouchY(int index) const {
  return index >= 0 && index < kTouchCount ? _touchY[index] : 0;
}

const c_JoyState& c_InputDevice::p_JoyState(int port) const {
  return port >= 0 && port < kJoyPorts ? _joyStates[port] : NoJoystick();
}

// The arrays read 0 outside their two entries.
float c_InputDevice::p_JoyX(int index, int port) const {
  return p_JoyState(port).joyx[index];
}
float c_InputDevice::p_JoyY(int index, int port) const {
  return p_JoyState(port).joyy[index];
}
float c_InputDevice::p_JoyZ(int index, int port) const {
  return p_JoyState(port).joyz[index];
}

int c_InputDevice::JoyKeyCode(int button, int port) {
  if (port < 0 || port >= kJoyPorts || button < 0) return -1;
  // Bits 8-15 become the joystick block (bit 8 set), the port selects one of its 32-button rows.
  const unsigned b = static_cast<unsigned>(button);
  const unsigned code =
      (b & ~0xFF00u) | ((((b >> 8) | 1u) & 0xFFu) << 8) | (static_cast<unsigned>(port) << 5);
  return code < static_cast<unsigned>(kKeyCount) ? static_cast<int>(code) : -1;
}

bool c_InputDevice::p_JoyDown(int button, int port) const {
  const int code = JoyKeyCode(button, port);
  return code >= 0 && _keyDown[code];
}

int c_InputDevice::p_JoyHit(int button, int port) const {
  const int code = JoyKeyCode(button, port);
  return code >= 0 ? _keyHit[code] : 0;
}

// ---- the input module ---------------------------------------------------------------------------

std::shared_ptr<c_InputDevice> xq_input_device;

int xq_input_SetInputDevice(std::shared_ptr<c_InputDevice> device) {
  xq_input_device = std::move(device);
  return 0;
}

bool xq_input_KeyDown(int key) {
  return xq_input_device && xq_input_device->p_KeyDown(key);
}
int xq_input_KeyHit(int key) {
  return xq_input_device ? xq_input_device->p_KeyHit(key) : 0;
}
int xq_input_GetChar() {
  return xq_input_device ? xq_input_device->p_GetChar() : 0;
}
float xq_input_MouseX() {
  return xq_input_device ? xq_input_device->p_MouseX() : 0;
}
float xq_input_MouseY() {
  return xq_input_device ? xq_input_device->p_MouseY() : 0;
}
bool xq_input_MouseDown(int button) {
  return xq_input_device && xq_input_device->p_MouseDown(button);
}
int xq_input_MouseHit(int button) {
  return xq_input_device ? xq_input_device->p_MouseHit(button) : 0;
}
bool xq_input_TouchDown(int index) {
  return xq_input_device && xq_input_device->p_TouchDown(index);
}
float xq_input_TouchX(int index) {
  return xq_input_device ? xq_input_device->p_TouchX(index) : 0;
}
float xq_input_TouchY(int index) {
  return xq_input_device ? xq_input_device->p_TouchY(index) : 0;
}
float xq_input_JoyX(int index, int port) {
  return xq_input_device ? xq_input_device->p_JoyX(index, port) : 0;
}
float xq_input_JoyY(int index, int port) {
  return xq_input_device ? xq_input_device->p_JoyY(index, port) : 0;
}
float xq_input_JoyZ(int index, int port) {
  return xq_input_device ? xq_input_device->p_JoyZ(index, port) : 0;
}
bool xq_input_JoyDown(int button, int port) {
  return xq_input_device && xq_input_device->p_JoyDown(button, port);
}
int xq_input_JoyHit(int button, int port) {
  return xq_input_device ? xq_input_device->p_JoyHit(button, port) : 0;
}
float xq_input_AccelX() {
  return xq_input_device ? xq_input_device->p_AccelX() : 0;
}
float xq_input_AccelY() {
  return xq_input_device ? xq_input_device->p_AccelY() : 0;
}
float xq_input_AccelZ() {
  return xq_input_device ? xq_input_device->p_AccelZ() : 0;
}

bool xq_input_EnableKeyboard() {
  if (XQGame* host = XQGame::Host()) host->SetKeyboardEnabled(true);
  return true;
}

bool xq_input_DisableKeyboard() {
  if (XQGame* host = XQGame::Host()) host->SetKeyboardEnabled(false);
  return true;
}
