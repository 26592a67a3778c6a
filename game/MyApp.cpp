// The game object's life: creation, the update that runs every screen in turn, the render that
// replays the display list scaled to the window, suspend and resume, the loading screen and the
// game-over overlay.
//
// One frame's path. The host's step (XQLoopGame::Step) polls window events, whose input reaches
// the input device through the delegate (c_GameDelegate), then runs the updates that are due (at
// most four) and one render.
//   update  the delegate's UpdateGame: the input device's begin, p_OnUpdate, its end. The current
//           screen appends records to drawList in virtual units; nothing is drawn.
//   render  the delegate's RenderGame: the renderer's BeginRender (gxtkGraphics), the front end's
//           xq_graphics_BeginRender, p_OnRender replaying drawList through xq_graphics_DrawRect,
//           DrawEllipse and DrawImage2 into the renderer's batches, xq_graphics_EndRender, and the
//           renderer's EndRender (flush to OpenGL, buffer swap).
// The layout doubles back on purpose: only the render sees the window's size, so it works out what
// the next update lays out with: scaleX / scaleY (device pixels per virtual unit, which also turn
// the pointer into virtual units), the visible area xq_Drommel_jscrw x jscrh and landscape. A
// changed size also restarts the loader (loading = 1).
#include "game/MyApp.h"

#include <algorithm>
#include <cmath>
#include <cstring>

#include "audio/Sound.h"
#include "framework/InputDevice.h"
#include "game/Globals.h"
#include "game/Numbers.h"
#include "graphics/Graphics.h"
#include "host/Game.h"
#include "host/GameDelegate.h"
#include "runtime/Error.h"

namespace {

// The bits of a float, as a key of the debug line's cache (std::bit_cast, which not every C++
// library the game builds with has).
int FloatBits(float value) {
  int bits = 0;
  std::memcpy(&bits, &value, sizeof bits);
  return bits;
}

// Actions whose being held keeps the back latch set.
constexpr int kLatchActions[] = {Action::Up,      Action::Left,    Action::Right,   Action::Down,
                                 Action::Confirm, Action::Button2, Action::Button3, Action::Button4,
                                 Action::Button5, Action::Button6, Action::Back};

// Renders (or updates) per second from the interval since the last one; a zero or negative
// interval (a clock that stood still or went back) keeps the previous value.
void MeasureRate(int& lastMs, int& rate, int& average) {
  const int now = xq_app_Millisecs();
  if (now > lastMs) rate = 1000 / (now - lastMs);
  average = (average * 9 + rate) / 10;
  lastMs = xq_app_Millisecs();
}

// One step of an overlay's slide counter toward 30 (open) or 0 (closed).
void SlideToward(int& slide, bool open) {
  slide += open ? 1 : -1;
  slide = std::clamp(slide, 0, 30);
}

// Switches the arcade-cabinet mapping off and releases its pad: leaving the game and coming back
// both drop it, and the player switches it on again in the options.
void ReleaseArcadeMapping(c_MyApp& app) {
  xq_input_DisableKeyboard();
  xq_Drommel_iCadeControls = 0;
  for (int i = 0; i <= Pad::LastButton; ++i) app.padState[i] = 0;
}

// A game in progress is paused, so the pause menu is open on return; elsewhere nothing is paused.
void PauseForReturn(c_MyApp& app) {
  if (app.gameMode < Mode::Play) {
    app.paused = 0;
    app.pauseDirection = 0;
    app.pauseSlide = 0;
  } else {
    app.paused = 1;
    app.pauseDirection = 1;
    app.pauseSlide = Trunc(xq_Drommel_jscrh / 2);
  }
}

}  // namespace

c_MyApp::c_MyApp() = default;
c_MyApp::~c_MyApp() = default;

// Runs once, on a new game object whose fields hold their initial values (MyApp.h).
int c_MyApp::p_OnCreate() {
  xq_app_SetUpdateRate(60);
  lastDeviceWidth = xq_graphics_DeviceWidth();
  lastDeviceHeight = xq_graphics_DeviceHeight();
  p_Reload();
  // The sound setting until the saved state says otherwise.
  options[Option::Sound] = SoundSetting::EffectsAndMusic;
  p_Load();
  for (int i = 0; i <= 32; ++i) sfxChannels[i] = i;
  return 0;
}

int c_MyApp::p_OnUpdate() {
  // Back key and function keys.
  padState[Pad::BackKey] = xq_input_KeyHit(kKeyBack);
  if (xq_input_KeyHit(Key::F1) > 0) xq_Drommel_DebugMode = 1 - xq_Drommel_DebugMode;
  if (xq_input_KeyHit(Key::F2) > 0) hideHud = 1 - hideHud;
  if (xq_input_KeyHit(Key::F11) > 0) p_FullscreenFlip();
  // Full screen switched from outside the game (a browser's Escape): the setting follows the
  // host's change.
  if (XQGame* host = XQGame::Host()) {
    const int hostNow = host->FullScreen() ? 1 : 0;
    if (hostNow != hostFullScreen) fullScreen = hostNow;
    hostFullScreen = hostNow;
  }
  // A page stays open: its quit keys do nothing.
  if (xq_input_KeyHit(Key::F4) > 0 || xq_input_KeyHit(kKeyClose) > 0) {
    if (XQGame::Host() == nullptr || XQGame::Host()->CanQuit()) xqError(String());
  }

  xq_asyncevent_UpdateAsyncEvents();

  MeasureRate(lastUpdateMs, updateFps, updateFpsAvg);

  // Pointer and touches in virtual units, from the picture's corner. Before the first render
  // there is no scale yet; the pointer then reads as the origin.
  const float w = view.width;
  const float h = view.height;
  const float overscan = xq_Drommel_overscan;
  const float overscanY = w > 0 ? h / w * overscan : 0;
  auto toVirtualX = [&](float x) {
    return scaleX > 0 ? Trunc((x - view.x - overscan) / scaleX) : 0;
  };
  auto toVirtualY = [&](float y) {
    return scaleY > 0 ? Trunc((y - view.y - overscanY) / scaleY) : 0;
  };
  prevMouseX = mouseX;
  prevMouseY = mouseY;
  mouseX = toVirtualX(xq_input_MouseX());
  mouseY = toVirtualY(xq_input_MouseY());
  const bool buttonDown = xq_input_MouseDown(0);
  if (prevMouseDown == 0 && buttonDown) {
    // A drag starts where the press happened.
    prevMouseX = mouseX;
    prevMouseY = mouseY;
  }
  mouseDown = buttonDown ? 1 : 0;
  for (int i = 0; i < 10; ++i) {
    touchDown[i] = 0;
    touchX[i] = static_cast<int>(kNoValue);
    touchY[i] = static_cast<int>(kNoValue);
    if (xq_input_TouchDown(i)) {
      touchDown[i] = 1;
      touchX[i] = toVirtualX(xq_input_TouchX(i));
      touchY[i] = toVirtualY(xq_input_TouchY(i));
      mouseDown = 1;
    }
  }
  prevMouseDown = buttonDown ? 1 : 0;
  if (mouseDown == 0) holdLatch = 0;

  // A finger gets controls of at least kTouchTargetPoints; a mouse hits them where they are drawn.
  touchTargets.NextUpdate();
  touchMinimum = 0;
  if (XQGame* host = XQGame::Host(); host != nullptr && host->TouchInput() && scaleX > 0) {
    touchMinimum = kTouchTargetPoints * host->PixelsPerPoint() / scaleX;
  }

  // Release and back handling.
  auto heldOnAnyPort = [this](int action) {
    for (int port = 0; port < 4; ++port) {
      if (p_PlayKey(action, 1, port) != 0) return true;
    }
    return false;
  };
  bool anyHeld = false;
  for (int action : kLatchActions) {
    if (heldOnAnyPort(action)) {
      anyHeld = true;
      break;
    }
  }
  if (!anyHeld) backLatch = 0;
  if (backLatch == 0 && holdLatch == 0 && heldOnAnyPort(Action::Back) && gameMode == Mode::Menu &&
      (creditsOpen == 1 || optionsOpen == 1)) {
    // Back closes the credits; the options box closes itself.
    creditsOpen = 0;
    backLatch = 1;
    holdLatch = 1;
  }
  if (optionsOpen == 1) {
    // The options box owns the input while it is open.
    backLatch = 1;
    holdLatch = 1;
  }

  // The screens.
  if (loading == 0) {
    if (loadLater != 0 && gameMode != Mode::NewGame) LoadLaterSteps(false);
    switch (gameMode) {
      case Mode::Menu:
        p_Menu();
        break;
      case Mode::ReturnToMenu:
        p_LoadMenu();
        p_PlaySFX(Sound::Jingle, 1);
        gameMode = Mode::Menu;
        break;
      case Mode::Play:
        p_Game();
        p_InGame();
        // The score is final once the player is hit or quits: it is kept from then on.
        if (gameMode == Mode::Play && (gameOverTimer > 0 || players[Player::Death] > 0)) {
          RecordFinishedGame();
        }
        if (gameMode == Mode::Play && gameOverTimer > 0) p_GameOver();
        break;
      case Mode::NewGame:
        // Images and sounds that came in behind the menu are all in before the game starts.
        if (LoadLaterSteps(true)) {
          p_LoadGame();
        } else {
          p_WaitStart(1);
        }
        break;
      default:
        break;
    }
    if (gameMode == Mode::Menu || gameMode == Mode::ReturnToMenu) p_GameOver();
    if (gameMode == Mode::Menu && (creditsOpen == 1 || creditsSlide > 0)) p_CreditBox();
    SlideToward(creditsSlide, creditsOpen == 1);
    if (optionsOpen == 1 || optionsSlide > 0) p_OptionBox();
    SlideToward(optionsSlide, optionsOpen == 1);
  }

  if (loading > 0) p_Loader();

  // Arcade-cabinet characters hold and release pad entries.
  if (xq_Drommel_iCadeControls == 1) {
    do {
      keysHeld = xq_input_GetChar();
      if (keysHeld != 0) ApplyArcadeChar(keysHeld);
    } while (keysHeld != 0);
  }

  // Pad presses last one update.
  for (int i = 0; i <= Pad::LastButton; ++i) {
    if (padState[i] == 1) padState[i] = 0;
  }

  if (xq_Drommel_DebugMode == 1) {
    p_ResetDraw();
    const String& line = debugText.For({renderFpsAvg, FloatBits(scaleX), FloatBits(scaleY)}, [&] {
      return String::FromInt(renderFpsAvg) + String(":") + String::FromFloat(scaleX) + String(",") +
             String::FromFloat(scaleY);
    });
    p_Text(16, xq_Drommel_jscrh - 16, line, 0, 0);
  }
  return 0;
}

int c_MyApp::p_OnRender() {
  MeasureRate(lastRenderMs, renderFps, renderFpsAvg);

  const int deviceWidth = xq_graphics_DeviceWidth();
  const int deviceHeight = xq_graphics_DeviceHeight();
  const float windowW = static_cast<float>(deviceWidth);
  const float windowH = static_cast<float>(deviceHeight);

  // The fill covers the whole window, bands included, in the screen's colour.
  xq_graphics_SetColor(clearRed, clearGreen, clearBlue);
  xq_graphics_SetAlpha(clearAlpha);
  xq_graphics_DrawRect(-1, -1, windowW + 2, windowH + 2);
  xq_graphics_SetColor(255, 255, 255);
  xq_graphics_SetAlpha(1);

  // A new window size reloads every image at the resolution for it.
  if (deviceWidth != lastDeviceWidth || deviceHeight != lastDeviceHeight) {
    loading = 1;
    lastDeviceWidth = deviceWidth;
    lastDeviceHeight = deviceHeight;
  }

  // The picture: the whole window, or where the host keeps the game's shape, the part between
  // the bands (drawing stops at its edges).
  ScreenInsets insets;
  XQGame* host = XQGame::Host();
  if (host != nullptr && host->KeepsShape()) {
    int left = 0, top = 0, right = 0, bottom = 0;
    host->SafeInsets(&left, &top, &right, &bottom);
    insets = {static_cast<float>(left), static_cast<float>(top), static_cast<float>(right),
              static_cast<float>(bottom)};
  }
  view = FitPicture(windowW, windowH, insets, host != nullptr && host->KeepsShape());
  const bool banded = view.width < windowW || view.height < windowH;
  if (banded) xq_graphics_SetScissor(view.x, view.y, view.width, view.height);
  const float w = view.width;
  const float h = view.height;

  // The larger of the two axis scales is kept; the visible virtual area shrinks along the other.
  const float overscan = xq_Drommel_overscan;
  scaleX = (w - 2 * overscan) / xq_Drommel_rawscrw;
  scaleY = (h - 2 * overscan) / xq_Drommel_rawscrh;
  float k;
  if (scaleY > scaleX) {
    k = h / xq_Drommel_rawscrh;
    scaleX = scaleY;
  } else {
    k = w / xq_Drommel_rawscrw;
    scaleY = scaleX;
  }
  if (k > 0) {
    xq_Drommel_jscrw = w / k;
    xq_Drommel_jscrh = h / k;
  }
  landscape = xq_Drommel_jscrw < xq_Drommel_jscrh ? 0 : 1;

  // Replay.
  const float overscanY = w > 0 ? h / w * overscan : 0;
  const float* list = drawList.Data();
  const int used = std::min(drawCount, drawList.Length());
  for (int at = 0; at + kRecordFloats <= used; at += kRecordFloats) {
    const DrawRecord r = DrawRecord::Read(list + at);
    xq_graphics_SetAlpha(r.alpha);
    xq_graphics_SetColor(r.red, r.green, r.blue);
    xq_graphics_SetBlend(r.RendererBlend());
    const float x = r.x * scaleX + overscan + view.x;
    const float y = r.y * scaleY + overscanY + view.y;
    if (r.IsRect()) {
      xq_graphics_DrawRect(x, y, r.scaleX * scaleX, r.scaleY * scaleY);
    } else if (r.IsOval()) {
      // Centre and radii.
      xq_graphics_DrawEllipse(x, y, r.scaleX * scaleX, r.scaleY * scaleY);
    } else if (r.kind >= 0 && r.kind < static_cast<float>(images.Length())) {
      const std::shared_ptr<c_Image>& image = images[static_cast<int>(r.kind)];
      if (image != nullptr) {
        xq_graphics_DrawImage2(image, x, y, r.rotation, r.scaleX * scaleX * imageScale,
                               r.scaleY * scaleY * imageScale, static_cast<int>(r.frame));
      }
    }
  }
  if (banded) xq_graphics_SetScissor(0, 0, windowW, windowH);
  xq_graphics_SetAlpha(0.5f);
  xq_graphics_SetColor(255, 255, 255);
  return 0;
}

int c_MyApp::p_OnSuspend() {
  ReleaseArcadeMapping(*this);
  PauseForReturn(*this);
  xq_app_SetUpdateRate(5);
  p_Save();
  return 0;
}

int c_MyApp::p_OnResume() {
  PauseForReturn(*this);
  xq_app_SetUpdateRate(60);
  ReleaseArcadeMapping(*this);
  return 0;
}

// The loading screen: a ring of dots turning behind and in front of a yellow disc, a band and the
// logo.
int c_MyApp::p_WaitStart(int /*style*/) {
  const float jw = xq_Drommel_jscrw;
  const float jh = xq_Drommel_jscrh;
  p_CLS2D(40, 40, 80, 1);

  const float size = static_cast<float>(Trunc(std::min(jw, jh)));
  loadSpin = (loadSpin + 16) % 360;

  auto ring = [&](float r, float g, float b, int offset) {
    for (int i = 0; i <= 10; ++i) {
      const double a = (loadSpin + offset + 16 * i) * kDegToRad;
      p_SetCol(r, g, b);
      p_Alpha(static_cast<float>(i) / 10);
      p_Oval(static_cast<float>(std::sin(a) * size / 4 + jw / 2),
             static_cast<float>(jh / 2 - std::cos(a) * size / 4), 8, 8);
    }
  };
  drawBlend = static_cast<int>(DrawRecord::kBlendNormal);
  ring(250, 250, 250, 180);

  p_SetCol(255, 255, 0);
  p_Alpha(0.8f);
  p_Oval(jw / 2, jh / 2, size * 0.3f, size * 0.3f);

  p_SetCol(250, 160, 60);
  p_Alpha(0.7f);
  p_Rect(0, jh * 0.4f, jw, jh * 0.2f);

  p_ResetDraw();
  p_DrawImg(Image::Logo, jw / 2, jh * 0.48f, 0);

  ring(50, 50, 50, 0);
  return 0;
}

// The "GAME" / "OVER" overlay: grows for 90 updates after a death, then the menu takes over and
// the overlay fades out by 2 steps per update.
int c_MyApp::p_GameOver() {
  const float jw = xq_Drommel_jscrw;
  const float jh = xq_Drommel_jscrh;
  // Once the game is recorded, the place it took stays named.
  if (gameMode == Mode::Play && finishedGameRecorded == 0) highscorePlace = BestRank();
  if (gameOverStep >= 1) {
    p_ResetDraw();
    p_SetCol(0, 0, 0);
    p_Alpha(std::min(static_cast<float>(gameOverStep) / 40, 0.7f));
    p_Rect(-1, -1, jw + 2, jh + 2);

    const int e = std::min(gameOverStep * 12, Trunc(jh * 0.45f));
    const float ef = static_cast<float>(e);
    p_SetCol(255, 255, 0);
    p_Alpha(0.5f);
    p_Rect(-1, jh * 0.45f - 8, 2 * ef, 16);
    p_SetCol(255, 128, 0);
    p_Rect(jw - 2 * ef, jh * 0.55f - 8, 2 * ef + 1, 16);

    p_SetSize(4);
    p_SetCol(255, 180, 180);
    p_Alpha(1);
    p_Text(jw * 0.35f, ef, String("GAME"), 1, 1);
    p_Text(jw * 0.65f, jh - ef, String("OVER"), 1, 1);

    // Named only when the score takes a place in the table as the game is recorded.
    if (highscorePlace > 0) {
      p_SetCol(0, 125, 255);
      p_Alpha(0.5f);
      p_Rect(jw * 0.35f, jh - ef / 1.5f - 16, jw * 0.3f, 32);
      p_SetSize(2);
      p_SetCol(100, 255, 100);
      p_Alpha(1);
      // Backslash and "n" break the line in the game's text.
      p_Text(jw / 2, jh - ef / 1.5f,
             newHighscoreText.For(
                 {highscorePlace},
                 [&] { return String("New Highscore\\n           ") + PlaceName(highscorePlace); }),
             0.5f, 2);
    }
    p_ResetDraw();
  }
  if (gameMode == Mode::Play) {
    ++gameOverStep;
    if (gameOverStep >= 90) {
      gameMode = Mode::ReturnToMenu;
      gameOverStep = 75;
      if (xq_Drommel_HasMusicStream == 1) xq_audio_StopMusic();
    }
  } else if (gameMode < Mode::Play) {
    gameOverStep = std::max(gameOverStep - 2, 0);
  }
  return 0;
}
