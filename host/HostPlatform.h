// What a platform's host provides, in one place. A host derives from XQLoopGame (host/LoopGame.h),
// hands it a HostPlatform and overrides XQGame's (host/Game.h) platform calls; nothing else in the
// program knows the platform. The desktop host is XQGlfwGame (host/GlfwGame.h, over GLFW).
//
//   clock            HostPlatform::Now, Sleep (Sleep only from a driver loop, never from a step)
//   input events     HostPlatform::PollEvents, WaitEvents deliver them; the host passes them on
//                    through XQGame::KeyEvent, MouseEvent, TouchEvent, MotionEvent; joysticks
//                    through XQGame::PollJoystick
//   window state     HostPlatform::GetWindowParam(kWindowOpened / kWindowActive / kWindowIconified);
//                    the window opens before StartGame, and kWindowOpened reading 0 ends the loop
//   window, context  XQGame::DrawableSize, SwapBuffers; a new context moves glfwGraphicsSeq on;
//                    the context is made for XQGame::RenderApi (OpenGL 1.x or ES 2.0)
//   full screen      XQGame::SetFullScreen, FullScreen
//   files and state  XQGame::OpenFile, LoadState, SaveState, PathToFilePath (std::FILE based; a
//                    host overrides them only where its files live elsewhere)
//   one game         xq_data_LockState (host/Files.h): one running game per state folder; the
//                    desktop's is StateLock.cpp, another platform links its own
//   the frame        the driver calls XQLoopGame::Step once per display frame until it is false
//
// Tests hand XQGlfwGame::SetPlatform a scripted HostPlatform, so the loop runs with time they drive
// and no window, and never sleeps for real:
//
//   class Scripted : public HostPlatform { ... };  // Now, Sleep, PollEvents, WaitEvents, ...
//   XQGlfwGame host;
//   host.SetPlatform(&scripted);  // also the clock of Millisecs and SetUpdateRate
//   host.StartGame();
//   host.RunLoop();               // returns when GetWindowParam(kWindowOpened) reads 0
#pragma once

// GetWindowParam's questions (the numbers are GLFW 2's, so its adapter answers them unchanged).
constexpr int kWindowOpened = 0x00020001;
constexpr int kWindowActive = 0x00020002;
constexpr int kWindowIconified = 0x00020003;

// Counts the windows (and with them graphics contexts) opened so far. Textures remember the value
// they were made under and are made again when it has changed; 0 means no context has ever existed.
extern int glfwGraphicsSeq;

class HostPlatform {
 public:
  virtual ~HostPlatform() = default;
  // Seconds on a steady clock.
  virtual double Now() = 0;
  virtual void Sleep(double seconds) = 0;
  // Deliver pending window events (the input callbacks run inside).
  virtual void PollEvents() = 0;
  // Block until at least one event arrives, then deliver it.
  virtual void WaitEvents() = 0;
  // kWindowOpened, kWindowActive or kWindowIconified: 1 or 0.
  virtual int GetWindowParam(int param) = 0;
};
