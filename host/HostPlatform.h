// HostPlatform: the clock, the event pump and the window state the main loop runs on. The desktop
// host uses the GLFW one (Glfw2Platform()); tests hand XQGlfwGame::SetPlatform a scripted one, so
// the loop runs with time they drive and no window, and never sleeps for real.
//
//   class Scripted : public HostPlatform { ... };  // Now, Sleep, PollEvents, WaitEvents, ...
//   XQGlfwGame host;
//   host.SetPlatform(&scripted);  // also the clock of Millisecs and SetUpdateRate
//   host.StartGame();
//   host.RunLoop();               // returns when GetWindowParam(glfw2::OPENED) reads 0
#pragma once

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
  // glfw2::OPENED, glfw2::ACTIVE or glfw2::ICONIFIED: 1 or 0.
  virtual int GetWindowParam(int param) = 0;
};

// The platform over the GLFW 2 adapter; the host's default.
HostPlatform& Glfw2Platform();
