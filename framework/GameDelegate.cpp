// The game delegate: device creation at start and the order of device and app calls.
#include "framework/GameDelegate.h"

#include "audio/Audio.h"
#include "audio/Sound.h"
#include "framework/App.h"
#include "framework/InputDevice.h"
#include "graphics/Graphics.h"
#include "graphics/Renderer.h"

c_GameDelegate::c_GameDelegate()
    : makeGraphics([] { return std::make_shared<gxtkGraphics>(); }),
      makeAudio([] { return std::make_shared<gxtkAudio>(); }),
      makeInput([] { return c_InputDevice::m_new(); }) {}

c_GameDelegate::~c_GameDelegate() = default;

void c_GameDelegate::StartGame() {
  // Renderer and the drawing front end's default font.
  _graphics = makeGraphics();
  xq_graphics_SetGraphicsDevice(_graphics);
  // A first frame at once, cleared to black: the window shows something defined while the font,
  // the sound device and the app start (tens of milliseconds). Nothing of the app is drawn before
  // its create has run, so its own first frame follows as before.
  if (_graphics->BeginRender() != 0) {
    _graphics->Cls(0, 0, 0);
    _graphics->EndRender();
  }
  xq_graphics_SetFont(nullptr, 32);

  // Audio device.
  _audio = makeAudio();
  xq_audio_SetAudioDevice(_audio);

  // Input device.
  _input = makeInput();
  xq_input_SetInputDevice(_input);

  if (xq_app_app) xq_app_app->p_OnCreate();
}

void c_GameDelegate::SuspendGame() {
  if (xq_app_app) xq_app_app->p_OnSuspend();
  if (_audio) _audio->Suspend();
}

void c_GameDelegate::ResumeGame() {
  if (_audio) _audio->Resume();
  if (xq_app_app) xq_app_app->p_OnResume();
}

void c_GameDelegate::UpdateGame() {
  if (_input) _input->p_BeginUpdate();
  if (xq_app_app) xq_app_app->p_OnUpdate();
  if (_input) _input->p_EndUpdate();
}

void c_GameDelegate::RenderGame() {
  if (!_graphics) return;
  // 0: render without the drawing front end, 1: normal, 2: loading.
  const int mode = _graphics->BeginRender();
  if (mode != 0) xq_graphics_BeginRender();
  if (xq_app_app) {
    if (mode == 2) {
      xq_app_app->p_OnLoading();
    } else {
      xq_app_app->p_OnRender();
    }
  }
  if (mode != 0) xq_graphics_EndRender();
  _graphics->EndRender();
}

void c_GameDelegate::KeyEvent(int event, int data) {
  if (_input) _input->p_KeyEvent(event, data);
  if (event != kEventKeyDown || !xq_app_app) return;
  if (data == kKeyClose) {
    xq_app_app->p_OnClose();
  } else if (data == kKeyBack) {
    xq_app_app->p_OnBack();
  }
}

void c_GameDelegate::MouseEvent(int event, int data, float x, float y) {
  if (_input) _input->p_MouseEvent(event, data, x, y);
}

void c_GameDelegate::TouchEvent(int event, int data, float x, float y) {
  if (_input) _input->p_TouchEvent(event, data, x, y);
}

void c_GameDelegate::MotionEvent(int event, int data, float x, float y, float z) {
  if (_input) _input->p_MotionEvent(event, data, x, y, z);
}

void c_GameDelegate::DiscardGraphics() {
  if (_graphics) _graphics->DiscardGraphics();
}
