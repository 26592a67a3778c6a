// GameHarness: runs the real game object on the real framework without a window, for tests of the
// game's screens, play, menus and saving.
//
// What is real: c_MyApp, the framework's c_GameDelegate and c_InputDevice (fed through the host's
// KeyEvent / MouseEvent exactly as the desktop host delivers them), the host's guards and
// collection step (XQGlfwGame), the drawing front end and the batching renderer (headless: a window
// size but no OpenGL; images still decode from the generated data folder), the OpenAL audio device
// (on OpenAL Soft's null backend) and the state store. What is injected: the clock (each update
// advances it by one 60th of a second; nothing sleeps), and the folder: every harness runs in a
// fresh temporary folder holding the state file and a link "data" to the build's data folder.
//
//   GameHarness game;             // 640 x 480; OnCreate has run (loader started, state loaded)
//   game.FinishLoading();         // renders once, then updates until the loader is done
//   game.Hold(Key::Space, 10);    // key down, 10 updates, key up (each update renders too)
//   EXPECT_EQ(game.App().gameMode, Mode::Menu);
//   EXPECT_TRUE(game.HasText("Top 5"));          // glyphs of the last update's display list
//   for (const DrawRecord& r : game.Records())   // the display list, decoded
//   game.Resize(1280, 720); game.Render();       // the next render sees the new size
//   EXPECT_EQ(game.StateText(), "...");          // ./.kestrostate of this harness
//
//   GameHarness::Options o; o.state = "1|0|...|";  // a state file present before OnCreate
//   GameHarness saved(o);
//
// Sound effects: every channel command the game gives the audio device is logged (SoundsPlayed
// gives the slots of c_MyApp::sounds whose samples were started, in order; SoundLog the commands).
// Joysticks: SetJoystick presents one on a port, with GLFW 3's raw axis directions; SetGamepad one
// that GLFW recognises as a gamepad, with its gamepad state; Unplug takes one away.
//
// Only one harness may exist at a time (the framework has one app, one host). F4, the close key
// (kKeyClose), the back key (kKeyBack) and a back action (escape, delete, backspace...) in the main
// menu end the process, as in the real program (not on a Page): test those with EXPECT_EXIT.
#pragma once

#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "game/Constants.h"
#include "game/MyApp.h"
#include "graphics/Renderer.h"
#include "platform/glfw/Glfw2.h"

class HarnessHost;
class RecordingAudio;

// One command the game gave the audio device.
struct SoundCommand {
  enum Kind { kPlay, kStop, kRate, kVolume, kPan } kind;
  int channel;
  float value;  // rate, volume or pan
  int slot;     // kPlay: the sound slot of c_MyApp::sounds whose sample played, else -1
};

class GameHarness {
 public:
  // A host like a browser's page: it keeps the game's shape between bands, measures touch targets
  // in points of pixelsPerPoint device pixels, keeps the insets (left, top, right, bottom) free,
  // and never lets the program end itself.
  struct Page {
    bool on = false;
    float pixelsPerPoint = 1;
    int insets[4] = {0, 0, 0, 0};
  };

  struct Options {
    int width = 640;
    int height = 480;
    // Text of the state file written before the game starts; none = no state file.
    std::optional<std::string> state;
    // Runs in the game's folder (after `state` is written) before the game starts.
    std::function<void()> prepare;
    // Size the host reports as the desktop (what full screen switches to).
    int desktopWidth = 1280;
    int desktopHeight = 1024;
    // The host cannot switch to full screen: the game stays in the window it had.
    bool fullScreenRefused = false;
    // Open a real window and draw with OpenGL (needs DISPLAY; see ReadFrame), through this API,
    // full screen when asked.
    bool window = false;
    XQRenderApi renderer = XQRenderApi::kGl1;
    bool fullScreen = false;
    Page page;

    // A window of this size, everything else as default.
    static Options Sized(int width, int height) {
      Options o;
      o.width = width;
      o.height = height;
      return o;
    }
  };

  GameHarness();
  explicit GameHarness(const Options& options);
  ~GameHarness();
  GameHarness(const GameHarness&) = delete;
  GameHarness& operator=(const GameHarness&) = delete;

  c_MyApp& App() { return *app_; }
  gxtkGraphics& Graphics() { return *graphics_; }

  // ---- Running ----
  // n updates, each one 60th of a second later than the last (no render in between).
  void Update(int n = 1);
  // A new game from a fixed seed whose spike points all stand above the bounce, with space held:
  // the world scrolls and scores without the ball ever dying.
  void StartSafeGame();
  // One frame: the renderer's and the front end's begin, p_OnRender, their end.
  void Render();
  // n passes of the loop: an update, then a render.
  void Step(int n = 1);
  // Renders once (so the game knows the window size), then steps until the loader is done.
  // Returns the number of steps taken.
  int FinishLoading();
  void Suspend();
  void Resume();
  // The window size the renderer reports from the next render on.
  void Resize(int width, int height);
  // Moves the clock without running anything.
  void AdvanceClock(double seconds);

  // ---- Input, delivered as the host delivers it ----
  void KeyDown(int code);
  void KeyUp(int code);
  // Key down, n steps (update + render), key up.
  void Hold(int code, int steps);
  // Down and up between two updates, then one step: one hit, never held.
  void Tap(int code);
  // Full screen left from outside the game (a browser's Escape): the host is back in its window.
  void LeaveFullScreenOutside();
  // A typed character (the arcade cabinet sends letters).
  void TypeChar(int chr);
  // Window pixels.
  void MouseMove(float x, float y);
  void MouseDown(float x, float y, int button = 0);
  void MouseUp(int button = 0);
  // A finger (0-31) down at window pixels, and up again.
  void TouchDown(int finger, float x, float y);
  void TouchUp(int finger);
  // A left click held for n steps at window pixels.
  void Click(float x, float y, int steps = 1);
  // Presents a joystick on port 0-3 with these readings (buttons: 1 pressed, 0 released).
  void SetJoystick(int port, std::vector<float> axes, std::vector<unsigned char> buttons);
  void SetGamepad(int port, const glfw2::testing::GamepadState& pad);
  void Unplug(int port);

  // With a real window: one frame whose pixels (ARGB, top row first) are read back before the
  // buffers are swapped. Headless: reads zeros.
  Array<int> ReadFrame();

  // ---- Reading ----
  std::vector<DrawRecord> Records() const;
  std::vector<DrawRecord> ImageRecords(int slot) const;
  // Characters of the glyphs drawn with the font, in drawing order; spaces are not drawn, so they
  // do not appear.
  std::string Glyphs() const;
  // True when the glyphs of `text` (spaces removed) were drawn one after another.
  bool HasText(const std::string& text) const;
  // The state file's text, empty when there is none.
  std::string StateText() const;
  void WriteStateText(const std::string& text) const;
  // The folder the game runs in.
  const std::string& Folder() const { return folder_; }
  const gxtkRenderStats& RenderStats() const { return graphics_->Stats(); }
  // Audio commands since the start (or the last ClearSoundLog).
  const std::vector<SoundCommand>& SoundLog() const;
  // Sound slots played, in order.
  std::vector<int> SoundsPlayed() const;
  void ClearSoundLog();

 private:
  void Start(const Options& options);

  bool window_ = false;
  std::string previousFolder_;
  std::string folder_;
  std::unique_ptr<HarnessHost> host_;
  std::shared_ptr<gxtkGraphics> graphics_;
  std::shared_ptr<RecordingAudio> audio_;
  std::shared_ptr<c_MyApp> app_;
};
