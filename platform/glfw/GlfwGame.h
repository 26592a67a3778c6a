// XQGlfwGame: the desktop game over the GLFW 2 adapter (Glfw2.h): the window and its context, the
// clock, the main loop around XQLoopGame's step, input translation, joysticks, full screen, the
// desktop's paths, links and state lock. XQKestroGame adds the process start-up (Main).
//
// Definitions are spread by concern: GlfwGame.cpp (window and loop), InputTranslation.cpp (key,
// character, mouse and joystick callbacks), DesktopFiles.cpp (paths and links), StateLock.cpp (the
// lock), KestroGame.cpp (Main).
#pragma once

#include <memory>
#include <optional>

#include "host/HostMain.h"
#include "host/LoopGame.h"

// A video mode: size and bits per colour channel.
class XQGlfwVideoMode {
 public:
  int width = 0;
  int height = 0;
  int red = 0;
  int green = 0;
  int blue = 0;
};

class XQGlfwGame : public XQLoopGame {
 public:
  XQGlfwGame();
  ~XQGlfwGame() override;

  // The host when it is the desktop one (the window operations below), else null.
  static XQGlfwGame* Desktop();

  // GLFW's clock, events and window.
  double Now() override;
  void PollEvents() override;
  XQWindowState WindowState() override;
  bool PollJoystick(int port, Array<float> joyx, Array<float> joyy, Array<float> joyz,
                    Array<bool> buttons) override;
  void OpenUrl(const String& url) override;
  void SetMouseVisible(bool visible) override;
  // The file lock of StateLock.cpp.
  StateLock LockState(const std::string& stateFileName) override;
  bool DrawableSize(int* width, int* height) override;
  void SwapBuffers() override;
  // The windows GLFW has opened: each comes with a new context.
  int ContextGeneration() override;
  // Full screen at the desktop's mode, or back to the game's window (see SetGlfwWindow).
  bool SetFullScreen(bool on) override;
  // The size of the game's window (XQStartup::windowWidth, windowHeight), which Run opens and
  // full screen goes back to.
  void SetWindowSize(int width, int height);
  bool FullScreen() override;

  // Replaces the window. True when the asked window opened. When it cannot be opened the reason is
  // printed and the window it replaces is opened again in its place (false); with no window to go
  // back to, or when that fails too, there is no window and the loop ends.
  virtual bool SetGlfwWindow(int width, int height, int red, int green, int blue, int alpha,
                             int depth, int stencil, bool fullscreen);
  // Opens the window and runs the game until the window is gone. The process status: 0, or -1 when
  // no window could be opened.
  virtual int Run();
  // The loop of Run after the window is open and the game started (XQLoopGame::RunBlocking on
  // GLFW's waits). Returns when the window is gone.
  void RunLoop();

  std::unique_ptr<XQGlfwVideoMode> GetGlfwDesktopMode();
  Array<std::shared_ptr<XQGlfwVideoMode>> GetGlfwVideoModes();

  // GLFW callbacks; they reach the host through Host().
  static int TransKey(int glfwKey);
  static void OnKey(int key, int action);
  static void OnChar(int chr, int action);
  static void OnMouseButton(int button, int action);
  static void OnMousePos(int x, int y);
  static int OnWindowClose();

 private:
  struct WindowRequest {
    int width, height, red, green, blue, alpha, depth, stencil;
    bool fullscreen;
  };
  bool OpenGlfwWindow(const WindowRequest& request, int desktopWidth, int desktopHeight);
  std::optional<WindowRequest> _window;  // the window open now, as it was asked for
  bool _windowLost = false;              // a window could not be opened and none is left
  int _windowWidth = 0;
  int _windowHeight = 0;
};

class XQKestroGame : public XQGlfwGame {
 public:
  // The start-up sequence; returns the process status (1 when another copy of the game runs in
  // this folder).
  static int Main(int argc, char** argv, const XQStartup& startup);
  // Also ends the start-up bound once a window is open.
  bool SetGlfwWindow(int width, int height, int red, int green, int blue, int alpha, int depth,
                     int stencil, bool fullscreen) override;
};

// The desktop's one-game lock: an advisory lock on the state file's name plus kStateLockSuffix,
// kept for the life of the process; asking again from the copy that holds it gives kHeld.
inline constexpr const char* kStateLockSuffix = ".lock";  // not six characters: never a temporary
StateLock xq_data_LockState(const std::string& stateFileName);

// The arguments of the process, kept by xq_std_main.
extern int xq_std_argc;
extern char** xq_std_argv;

// Keeps the arguments, installs the fatal-signal handlers, then runs startup.init and startup.main.
int xq_std_main(int argc, char** argv, const XQStartup& startup);
