// XQGame: the platform-neutral host. It owns the delegate and the started/suspended state, guards
// every call into the delegate, and runs one collection step after each (gc_collect).
//
// What a platform provides is the seam section below, and nothing else: its game derives from
// XQLoopGame (host/LoopGame.h), overrides the seam, and drives XQLoopGame::Step once per display
// frame: XQGlfwGame (platform/glfw/GlfwGame.h) on the desktop, XQBrowserGame
// (platform/web/BrowserGame.h) in a browser. Its input arrives as KeyEvent, MouseEvent, TouchEvent
// and MotionEvent in the codes of host/Input.h. The one link-time choice is the start, xqHostMain
// (host/HostMain.h). Tests override the seam the same way (a scripted clock and window, a headless
// drawable), so everything above the platform runs without one.
//
// Exactly one host object exists: XQGame's constructor registers it and XQGame::Host() returns it
// (null before it is made and after it is gone, as in tests that run without a host). Everything
// outside the host reaches it through Host() and nothing else.
#pragma once

#include <cstdio>
#include <memory>
#include <set>
#include <string>

#include "decode/ImageDecode.h"
#include "host/Files.h"
#include "host/GameDelegate.h"
#include "host/HostMain.h"
#include "runtime/Array.h"
#include "runtime/Error.h"
#include "runtime/String.h"

// The drawing API of the window's context: OpenGL 1.x (the default) or OpenGL ES 2.0, chosen at
// start-up by DROMMEL_RENDERER ("gl1" or "es2").
enum class XQRenderApi { kGl1, kEs2 };

// The window as the loop sees it: closed ends the loop; shown without focus or minimised suspends
// the game (only a minimised one is no longer drawn).
struct XQWindowState {
  bool open = true;
  bool active = true;
  bool iconified = false;
};

class XQGame {
 public:
  XQGame();
  virtual ~XQGame();

  // The one host object, or null.
  static XQGame* Host() { return _game; }

  virtual void SetDelegate(XQGameDelegate* delegate);
  virtual XQGameDelegate* Delegate();
  virtual void SetKeyboardEnabled(bool enabled);
  virtual bool KeyboardEnabled();
  // The API the host opens its windows' contexts for; the renderer draws with it.
  XQRenderApi RenderApi() const { return _renderApi; }
  void SetRenderApi(XQRenderApi api) { _renderApi = api; }
  virtual void SetUpdateRate(int hertz);
  virtual int UpdateRate();
  virtual bool Started();
  virtual bool Suspended();
  // Now() in whole milliseconds, wrapped into 32 bits like the counter it stands for.
  int Millisecs();
  // Fills year, month, day, hour, minute, second, 0 (as many as the array holds) from local time.
  virtual void GetDate(Array<int> date);
  // ---- The platform seam: what a platform's game overrides, and nothing else ----
  // Seconds on a steady clock; Millisecs and the update schedule read it (this base's stands at 0).
  virtual double Now();
  // Delivers the window's pending events (their input calls KeyEvent and the others).
  virtual void PollEvents();
  // This base's window is always open and focused.
  virtual XQWindowState WindowState();
  // The size in pixels of what the game draws into; false when there is no window to ask.
  virtual bool DrawableSize(int* width, int* height);
  // Shows the frame drawn since the last swap.
  virtual void SwapBuffers();
  // Counts the graphics contexts made so far. Textures remember the value they were made under and
  // are made again when it has changed; 0 means no context has ever existed (as in this base).
  virtual int ContextGeneration();
  // Switches between the window and full screen; true when the switch happened (a host without
  // one, like this base, never switches).
  virtual bool SetFullScreen(bool on);
  // Whether the game shows full screen now: a host whose full screen can be left from outside the
  // game lets the game follow.
  virtual bool FullScreen();
  // Fills a joystick port's arrays (see FillJoystick); false, with the arrays untouched, when no
  // joystick is there.
  virtual bool PollJoystick(int port, Array<float> joyx, Array<float> joyy, Array<float> joyz,
                            Array<bool> buttons);
  virtual void SetMouseVisible(bool visible);
  virtual void OpenUrl(const String& url);
  // What the screen asks of the game's picture and controls (a desktop window: nothing).
  // Device pixels per point, the unit touch targets are measured in (a CSS pixel in a browser).
  virtual float PixelsPerPoint();
  // Whether the game keeps its picture between its narrowest and widest shapes, centred between
  // bands, instead of filling any window shape.
  virtual bool KeepsShape();
  // Device pixels along each edge that nothing of the picture may use (a phone's notch, its home
  // indicator's strip).
  virtual void SafeInsets(int* left, int* top, int* right, int* bottom);
  // Whether the program may end itself when the player quits (a desktop program does; a page
  // stays open).
  virtual bool CanQuit();
  // Where a portable path lives: the file name, or empty when it names nothing (here and on the
  // desktop, xq_data_PortableToFilePath's folders beside the working folder).
  virtual String PathToFilePath(const String& path);
  // The one-game lock on the state file (host/Files.h); this base has none (kUnavailable).
  virtual StateLock LockState(const std::string& stateFileName);
  // The state store: 0 saved, -1 cannot create, -2 short write (the previous state stays intact).
  // A platform whose files need more to last (the browser's) wraps it.
  virtual int SaveState(const String& state);
  // Whether the data file of a portable path is in place to be opened (xq_data_FileReady in
  // host/Files.h); this base, like the desktop, has its data folder complete from the start.
  virtual bool DataReady(const String& path, int urgency);
  // The loader has gone through all its steps (xq_data_LoaderFinished); nothing to do here.
  virtual void LoaderFinished();
  // The sound effects' file type in this platform's data: ".wav" here and on the desktop.
  virtual const char* SoundExtension();
  // ---- The same on every platform ----
  // Whether the last pointer to go down was a finger rather than a mouse.
  bool TouchInput() const { return _touchInput; }
  virtual String LoadState();
  virtual String LoadString(const String& path);
  // Opens a file named by a portable path; null when the path maps to nothing or the open fails.
  virtual std::FILE* OpenFile(const String& path, const String& mode);
  // The whole file as bytes (the caller owns them); null when it cannot be opened or holds more
  // than kDataFileLimit bytes. Like LoadString, it reports a file that exists but is refused, and
  // stays silent about a missing one.
  virtual std::unique_ptr<unsigned char[]> LoadData(const String& path, int* length);
  // Decoded 8-bit pixels (format = bytes per pixel, 1 to 4) or null; never raises. This and
  // LoadAudioData report every file they cannot load, missing ones too: the game asks only for the
  // images and sounds it needs.
  virtual PixelBuffer LoadImageData(const String& path, int* width, int* height, int* format);
  // Decoded PCM (format = bytes per sample, 1 or 2) or null; never raises.
  virtual std::unique_ptr<unsigned char[]> LoadAudioData(const String& path, int* length,
                                                         int* channels, int* format, int* hertz);
  // A data file opened for loading: a regular file only (a named pipe, a folder or a device in its
  // place is refused without waiting). On failure null, with `why` the reason, or empty when the
  // file is simply missing; `fileName` is the name on disk either way.
  std::FILE* OpenForLoading(const String& path, std::string& fileName, std::string& why);
  // "<what> not loaded from <fileName>: <why>" on one line, once per file for the host's life.
  void ReportNotLoaded(const char* what, const std::string& fileName, const std::string& why);
  // Ends the program for an exception that escaped the game: the one fatal message, then the
  // runtime's end (runtime/Error.h: the process exits with -1, a page shows the error).
  [[noreturn]] virtual void Die(ThrowableObject* exception);
  // Runs `call`; an exception of any type that escapes it ends the program through Die, after
  // `beforeDie` when one is given. Every call into the delegate and every platform's start-up go
  // through it.
  template <class Call>
  void Guard(Call&& call, void (*beforeDie)() = nullptr) {
    try {
      call();
      return;
    } catch (ThrowableObject& exception) {
      if (beforeDie) beforeDie();
      Die(&exception);
    } catch (ThrowableObject* exception) {
      if (beforeDie) beforeDie();
      Die(exception);
    } catch (...) {
      if (beforeDie) beforeDie();
      Die(nullptr);
    }
  }
  // The program's module globals and app (startup.init, then startup.main), guarded.
  void RunStartup(const XQStartup& startup, void (*beforeDie)() = nullptr);

  // The character a key press sends besides its key code (0 for none): backspace, tab, enter and
  // escape their own code, delete 127, the navigation keys (page up and down, end, home, the
  // arrows, insert) 65536 + their code, so they can never be mistaken for text.
  static int KeyToChar(int code);
  // Fills a joystick port's arrays from one reading of up to 6 axes and 32 buttons: joyx, joyy and
  // joyz get the two sticks' axes (with 4 axes the second stick's x and y are axes 3 and 2, with 5
  // axes 4 and 3), buttons the first buttonCount entries (those past it keep their value).
  static void FillJoystick(const float* axes, int axisCount, const bool* pressed, int buttonCount,
                           Array<float> joyx, Array<float> joyy, Array<float> joyz,
                           Array<bool> buttons);
  virtual void gc_collect();

  // Guarded calls into the delegate (see the table in Game.cpp).
  virtual void StartGame();
  virtual void SuspendGame();
  virtual void ResumeGame();
  virtual void UpdateGame();
  virtual void RenderGame();
  virtual void KeyEvent(int event, int data);
  virtual void MouseEvent(int event, int data, float x, float y);
  virtual void TouchEvent(int event, int data, float x, float y);
  virtual void MotionEvent(int event, int data, float x, float y, float z);
  virtual void DiscardGraphics();

 protected:
  // Set by the constructor, cleared by the destructor of the host it names.
  static XQGame* _game;

  XQGameDelegate* _delegate = nullptr;
  bool _keyboardEnabled = false;
  int _updateRate = 0;
  bool _started = false;
  bool _suspended = false;
  XQRenderApi _renderApi = XQRenderApi::kGl1;
  bool _touchInput = false;

 private:
  std::set<std::string> _notLoaded;  // files reported by ReportNotLoaded
};
