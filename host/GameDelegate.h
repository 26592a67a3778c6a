// XQGameDelegate: the interface through which the host hands lifecycle calls and input events to the
// application framework. Every default does nothing; the framework's c_GameDelegate overrides them.
#pragma once

class XQGameDelegate {
 public:
  virtual ~XQGameDelegate() = default;
  virtual void StartGame() {}
  virtual void SuspendGame() {}
  virtual void ResumeGame() {}
  virtual void UpdateGame() {}
  virtual void RenderGame() {}
  virtual void KeyEvent(int /*event*/, int /*data*/) {}
  virtual void MouseEvent(int /*event*/, int /*data*/, float /*x*/, float /*y*/) {}
  virtual void TouchEvent(int /*event*/, int /*data*/, float /*x*/, float /*y*/) {}
  virtual void MotionEvent(int /*event*/, int /*data*/, float /*x*/, float /*y*/, float /*z*/) {}
  virtual void DiscardGraphics() {}
};

// Event codes passed as `event` to KeyEvent, MouseEvent, TouchEvent and MotionEvent.
enum c_XQGameEvent : int {
  kEventKeyDown = 1,
  kEventKeyUp = 2,
  kEventKeyChar = 3,
  kEventMouseDown = 4,
  kEventMouseUp = 5,
  kEventMouseMove = 6,
  kEventTouchDown = 7,
  kEventTouchUp = 8,
  kEventTouchMove = 9,
  kEventMotionAccel = 10,
};

// Framework key codes with a fixed meaning beyond the keyboard's virtual-key numbers.
constexpr int kKeyBack = 416;
constexpr int kKeyClose = 432;
