// c_GameDelegate: what the host calls. It creates the devices when the game starts (renderer,
// default font, audio device, input device, then the app's p_OnCreate) and turns every host call
// into the device and app calls in the right order:
//
//   UpdateGame:  input BeginUpdate (joysticks polled), app p_OnUpdate, input EndUpdate
//   RenderGame:  renderer BeginRender, graphics BeginRender, app p_OnRender (p_OnLoading for
//                mode 2), graphics EndRender, renderer EndRender (flush and swap)
//   KeyEvent:    the input device records it; KeyDown 432 (close button) calls p_OnClose and
//                KeyDown 416 (back key) p_OnBack, which end the program by default
//
// The device makers are members so that tests can start a game with a headless renderer or their
// own audio device.
#pragma once

#include <functional>
#include <memory>

#include "host/GameDelegate.h"

class gxtkGraphics;
class gxtkAudio;
class c_InputDevice;

class c_GameDelegate : public XQGameDelegate {
 public:
  c_GameDelegate();
  ~c_GameDelegate() override;

  std::shared_ptr<gxtkGraphics> _graphics;
  std::shared_ptr<gxtkAudio> _audio;
  std::shared_ptr<c_InputDevice> _input;

  // Used by StartGame; by default the OpenGL renderer of the current window, the OpenAL device and
  // an input device reading the host.
  std::function<std::shared_ptr<gxtkGraphics>()> makeGraphics;
  std::function<std::shared_ptr<gxtkAudio>()> makeAudio;
  std::function<std::shared_ptr<c_InputDevice>()> makeInput;

  void StartGame() override;
  void SuspendGame() override;
  void ResumeGame() override;
  void UpdateGame() override;
  void RenderGame() override;
  void KeyEvent(int event, int data) override;
  void MouseEvent(int event, int data, float x, float y) override;
  void TouchEvent(int event, int data, float x, float y) override;
  void MotionEvent(int event, int data, float x, float y, float z) override;
  void DiscardGraphics() override;
};
