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
#include <cstdint>
#include <cstdlib>
#include <ctime>
#include <iterator>
#include <utility>

#include "host/Input.h"
#include "runtime/Collect.h"

XQGame* XQGame::_game = nullptr;

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
  // Truncated toward zero, then wrapped.
  const auto millis = static_cast<std::int64_t>(Now() * 1000.0);
  return static_cast<int>(static_cast<std::uint32_t>(millis));
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
    case XQKey::Backspace:
    case XQKey::Tab:
    case XQKey::Enter:
    case XQKey::Escape:
      return code;
    case XQKey::PageUp:
    case XQKey::PageDown:
    case XQKey::End:
    case XQKey::Home:
    case XQKey::Left:
    case XQKey::Up:
    case XQKey::Right:
    case XQKey::Down:
    case XQKey::Insert:
      return code | kNavigationChar;
    case XQKey::Delete:
      return 127;
    default:
      return 0;
  }
}

void XQGame::FillJoystick(const float* axes, int axisCount, const bool* pressed, int buttonCount,
                          Array<float> joyx, Array<float> joyy, Array<float> joyz,
                          Array<bool> buttons) {
  std::array<float, kJoyAxes> slot{};
  std::copy_n(axes, std::clamp(axisCount, 0, kJoyAxes), slot.begin());
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
  const int count = std::min({buttonCount, kJoyButtons, buttons.Length()});
  for (int i = 0; i < count; ++i) out[i] = pressed[i];
}

double XQGame::Now() {
  return 0;
}
void XQGame::PollEvents() {}
XQWindowState XQGame::WindowState() {
  return {};
}
void XQGame::OpenUrl(const String&) {}
void XQGame::SetMouseVisible(bool) {}
bool XQGame::DrawableSize(int*, int*) {
  return false;
}
void XQGame::SwapBuffers() {}
int XQGame::ContextGeneration() {
  return 0;
}
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
  xqEnd(-1, "Uncaught Kestro Exception");
}

void XQGame::gc_collect() {
  ::gc_collect();
}

void XQGame::RunStartup(const XQStartup& startup, void (*beforeDie)()) {
  Guard(
      [&] {
        if (startup.init) startup.init();
        if (startup.main) startup.main();
      },
      beforeDie);
}

namespace {
// Runs one delegate call the host's way: an escaping exception ends the program, and one collection
// step follows.
template <class Call>
void Guarded(XQGame& host, Call&& call) {
  host.Guard(call);
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
