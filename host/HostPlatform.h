// What a platform provides, in one place. A platform's game derives from XQLoopGame
// (host/LoopGame.h), hands it a HostPlatform (the clock and the window's events and state) and
// overrides XQGame's (host/Game.h) platform seam, and nothing else; nothing outside platform/ knows
// the platform. The desktop's game is XQGlfwGame (platform/glfw/GlfwGame.h, over GLFW), the
// browser's XQBrowserGame (platform/web/BrowserGame.h).
//
//   clock            HostPlatform::Now, Sleep (Sleep only from a driver loop, never from a step)
//   input events     HostPlatform::PollEvents, WaitEvents deliver them; the platform passes them
//                    on through XQGame::KeyEvent, MouseEvent, TouchEvent, MotionEvent in the codes
//                    of host/Input.h; XQLoopGame::ReleaseKeys lets go of held keys
//   window state     HostPlatform::GetWindowParam(kWindowOpened / kWindowActive / kWindowIconified);
//                    the window opens before StartGame, and kWindowOpened reading 0 ends the loop
//   the seam         XQGame::DrawableSize, SwapBuffers, ContextGeneration (the contexts made so
//                    far: a new one makes the renderer build its textures again), SetFullScreen,
//                    FullScreen, PollJoystick, SetMouseVisible, OpenUrl, PathToFilePath (where
//                    portable paths live), LockState (one game per state folder), SaveState (a
//                    platform that must persist a save further wraps it); the context is made for
//                    XQGame::RenderApi (OpenGL 1.x or ES 2.0)
//   start-up         xqHostMain (host/HostMain.h), the one link-time choice: main calls the
//                    platform's, which runs the start-up record through XQGame::RunStartup
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
