// XQBrowserGame: the host of the browser build. The page's requestAnimationFrame drives the loop's
// step (host/LoopGame.h) once per display frame, so the game runs its 60 updates a second on any
// display; the game draws through the es2 renderer on a WebGL 1 context of the page's canvas,
// whose drawing buffer is its CSS size times the device's pixel ratio. The page's keys, mouse,
// fingers and gamepads arrive as the framework's events and key codes (host/Input.h, through
// BrowserInput.h). The state file lives in the IndexedDB folder /save and is synchronised after
// every save; the tab being hidden suspends the game (which saves) and showing it resumes it.
//
// The JavaScript side is library.js (events, frames, full screen, synchronisation, the page's
// messages) and pre.js (the saved state read in, the one-tab rule).
#pragma once

#include <string_view>

#include "host/HostMain.h"
#include "host/LoopGame.h"

class XQBrowserGame : public XQLoopGame {
 public:
  XQBrowserGame();
  ~XQBrowserGame() override;

  static XQBrowserGame* Browser();

  // The page's clock, as of the frame being run; the tab's visibility and the context.
  double Now() override;
  void PollEvents() override;
  XQWindowState WindowState() override;
  // The start in the page: globals and app, the WebGL context, the game's start and its first
  // frame, then the page's frame loop and events. Returns at once; the page runs the rest.
  static int Main(int argc, char** argv, const XQStartup& startup);

  bool DrawableSize(int* width, int* height) override;
  void SwapBuffers() override;
  // The contexts made and restored so far.
  int ContextGeneration() override;
  bool SetFullScreen(bool on) override;
  bool FullScreen() override;
  // A CSS pixel; the page keeps the game's shape, keeps clear of the notch and the home
  // indicator's strip (the page's safe-area insets) and never ends the program by a quit key.
  float PixelsPerPoint() override;
  bool KeepsShape() override;
  void SafeInsets(int* left, int* top, int* right, int* bottom) override;
  bool CanQuit() override;
  String PathToFilePath(const String& path) override;
  StateLock LockState(const std::string& stateFileName) override;
  bool DataReady(const String& path, int urgency) override;
  void LoaderFinished() override;
  const char* SoundExtension() override;
  int SaveState(const String& state) override;
  bool PollJoystick(int port, Array<float> joyx, Array<float> joyy, Array<float> joyz,
                    Array<bool> buttons) override;

  // The WebGL context on the canvas; false when the browser gives none.
  bool MakeContext();

  // From the page (library.js). Frame: one display frame at `milliseconds` on the page's clock;
  // false when the loop ends.
  bool Frame(double milliseconds);
  // A key went down (with its character, 0 for none) or up; true when the game took the key.
  bool Key(bool down, std::string_view code, int keyCode, int character);
  void Hidden(bool hidden);
  // The WebGL context was lost (true) or is back (false).
  void ContextLost(bool lost);
  void ContextRestored();

 private:
  int _context = 0;
  int _contextsMade = 0;
  double _now;
  bool _hidden;
  bool _contextLost = false;  // nothing can be drawn: suspended, as when hidden
};
