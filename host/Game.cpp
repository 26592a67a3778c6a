// XQGame: the guarded calls into the delegate, the clock-free parts of the host and the fatal path
// for exceptions that escape the game.
//
// Every call into the delegate goes through Guarded: it runs the call, ends the program through Die
// when an exception escapes it, and runs one collection step afterwards.
//
//   wrapper          runs only when              before the call
//   StartGame        not started                 started = true
//   SuspendGame      started and not suspended   suspended = true
//   ResumeGame       started and suspended       suspended = false
//   UpdateGame       started and not suspended   -
//   RenderGame       started                     -
//   Key/Mouse/Touch/MotionEvent, DiscardGraphics: started
#include "host/Game.h"

#include <algorithm>
#include <array>
#include <cstdlib>
#include <ctime>
#include <iterator>
#include <utility>

#include "host/HostPlatform.h"
#include "runtime/Collect.h"

XQGame* XQGame::_game = nullptr;
int glfwGraphicsSeq = 0;

XQGame::XQGame() {
  _game = this;
}

XQGame::~XQGame() {
  if (_game == this) _game = nullptr;
}

void XQGame::SetDelegate(XQGameDelegate* delegate) {
  _delegate = delegate;
}
XQGameDelegate* XQGame::Delegate() {
  return _delegate;
}
void XQGame::SetKeyboardEnabled(bool enabled) {
  _keyboardEnabled = enabled;
}
bool XQGame::KeyboardEnabled() {
  return _keyboardEnabled;
}
void XQGame::SetUpdateRate(int hertz) {
  _updateRate = hertz;
}
int XQGame::UpdateRate() {
  return _updateRate;
}
bool XQGame::Started() {
  return _started;
}
bool XQGame::Suspended() {
  return _suspended;
}
int XQGame::Millisecs() {
  return 0;
}

void XQGame::GetDate(Array<int> date) {
  const std::time_t now = std::time(nullptr);
  std::tm local{};
  localtime_r(&now, &local);
  const int fields[] = {local.tm_year + 1900,
                        local.tm_mon + 1,
                        local.tm_mday,
                        local.tm_hour,
                        local.tm_min,
                        local.tm_sec,
                        0};
  const int count = std::min(date.Length(), static_cast<int>(std::size(fields)));
  for (int i = 0; i < count; ++i) date[i] = fields[i];
}

bool XQGame::PollJoystick(int, Array<float>, Array<float>, Array<float>, Array<bool>) {
  return false;
}
int XQGame::KeyToChar(int code) {
  constexpr int kNavigationChar = 0x10000;
  switch (code) {
    case 8:   // backspace
    case 9:   // tab
    case 13:  // enter
    case 27:  // escape
      return code;
    case 33:  // page up
    case 34:  // page down
    case 35:  // end
    case 36:  // home
    case 37:  // left
    case 38:  // up
    case 39:  // right
    case 40:  // down
    case 45:  // insert
      return code | kNavigationChar;
    case 46:  // delete
      return 127;
    default:
      return 0;
  }
}

void XQGame::FillJoystick(const float* axes, int axisCount, const bool* pressed, int buttonCount,
                          Array<float> joyx, Array<float> joyy, Array<float> joyz,
                          Array<bool> buttons) {
  constexpr int kAxes = 6;
  constexpr int kButtons = 32;
  std::array<float, kAxes> slot{};
  std::copy_n(axes, std::clamp(axisCount, 0, kAxes), slot.begin());
  if (axisCount == 4) {
    slot[4] = slot[2];
    slot[2] = 0;
  } else if (axisCount == 5) {
    std::swap(slot[3], slot[4]);
  }
  joyx[0] = slot[0];
  joyx[1] = slot[3];
  joyy[0] = slot[1];
  joyy[1] = slot[4];
  joyz[0] = slot[2];
  joyz[1] = slot[5];
  // Array<bool> keeps its elements packed: write through its iterator.
  auto out = buttons.begin();
  const int count = std::min({buttonCount, kButtons, buttons.Length()});
  for (int i = 0; i < count; ++i) out[i] = pressed[i];
}

void XQGame::OpenUrl(const String&) {}
void XQGame::SetMouseVisible(bool) {}
bool XQGame::DrawableSize(int*, int*) {
  return false;
}
void XQGame::SwapBuffers() {}
bool XQGame::SetFullScreen(bool) {
  return false;
}
bool XQGame::FullScreen() {
  return false;
}
float XQGame::PixelsPerPoint() {
  return 1;
}
bool XQGame::KeepsShape() {
  return false;
}
void XQGame::SafeInsets(int* left, int* top, int* right, int* bottom) {
  *left = *top = *right = *bottom = 0;
}
bool XQGame::CanQuit() {
  return true;
}

void XQGame::Die(ThrowableObject*) {
  xqPrint("Kestro Runtime Error : Uncaught Kestro Exception");
  std::exit(-1);
}

void XQGame::gc_collect() {
  ::gc_collect();
}

namespace {
// Runs one delegate call the host's way: an escaping exception ends the program, and one collection
// step follows. Exceptions of any other type end it the same way rather than aborting.
template <class Call>
void Guarded(XQGame& host, Call&& call) {
  try {
    call();
  } catch (ThrowableObject& exception) {
    host.Die(&exception);
  } catch (ThrowableObject* exception) {
    host.Die(exception);
  } catch (...) {
    host.Die(nullptr);
  }
  host.gc_collect();
}
}  // namespace

void XQGame::StartGame() {
  if (_started) return;
  _started = true;
  if (_delegate) Guarded(*this, [&] { _delegate->StartGame(); });
}

void XQGame::SuspendGame() {
  if (!_started || _suspended) return;
  _suspended = true;
  if (_delegate) Guarded(*this, [&] { _delegate->SuspendGame(); });
}

void XQGame::ResumeGame() {
  if (!_started || !_suspended) return;
  _suspended = false;
  if (_delegate) Guarded(*this, [&] { _delegate->ResumeGame(); });
}

void XQGame::UpdateGame() {
  if (!_started || _suspended) return;
  if (_delegate) Guarded(*this, [&] { _delegate->UpdateGame(); });
}

void XQGame::RenderGame() {
  if (!_started) return;
  if (_delegate) Guarded(*this, [&] { _delegate->RenderGame(); });
}

void XQGame::KeyEvent(int event, int data) {
  if (!_started) return;
  if (_delegate) Guarded(*this, [&] { _delegate->KeyEvent(event, data); });
}

void XQGame::MouseEvent(int event, int data, float x, float y) {
  if (!_started) return;
  if (event == kEventMouseDown) _touchInput = false;
  if (_delegate) Guarded(*this, [&] { _delegate->MouseEvent(event, data, x, y); });
}

void XQGame::TouchEvent(int event, int data, float x, float y) {
  if (!_started) return;
  if (event == kEventTouchDown) _touchInput = true;
  if (_delegate) Guarded(*this, [&] { _delegate->TouchEvent(event, data, x, y); });
}

void XQGame::MotionEvent(int event, int data, float x, float y, float z) {
  if (!_started) return;
  if (_delegate) Guarded(*this, [&] { _delegate->MotionEvent(event, data, x, y, z); });
}

void XQGame::DiscardGraphics() {
  if (!_started) return;
  if (_delegate) Guarded(*this, [&] { _delegate->DiscardGraphics(); });
}
