// The game object's life: creation, the update that runs every screen in turn, the render that
// replays the display list scaled to the window, suspend and resume, the loading screen and the
// game-over overlay.
#include "game/MyApp.h"

#include <algorithm>
#include <bit>
#include <cmath>

#include "audio/Sound.h"
#include "framework/InputDevice.h"
#include "game/Globals.h"
#include "game/Numbers.h"
#include "graphics/Graphics.h"
#include "runtime/Error.h"

namespace {

// Actions whose being held keeps the back latch set, in the order they are tested.
constexpr int kLatchActions[] = {0, 3, 5, 8, 10, 11, 12, 13, 14, 15, 16, 17, 99};

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
  for (int i = 0; i <= 18; ++i) app.padState[i] = 0;
}

// A game in progress is paused, so the pause menu is open on return; elsewhere nothing is paused.
void PauseForReturn(c_MyApp& app) {
  if (app.gameMode < 10) {
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

int c_MyApp::p_OnCreate() {
  fullScreen = 0;
  introSoundPlayed = 0;
  gameMode = 1;
  xq_app_SetUpdateRate(60);
  lastDeviceWidth = xq_graphics_DeviceWidth();
  lastDeviceHeight = xq_graphics_DeviceHeight();
  accelRefX = 0;
  accelRefY = 0;
  p_Reload();
  gameType = 2;
  menuSlide = -32;
  paused = 0;
  pauseDirection = -1;
  pauseSlide = -64;
  for (int i = 0; i <= 14; ++i) {
    badgePopups[i] = 0;
    badgePopupTimes[i] = 0;
  }
  for (int i = 0; i <= 127; ++i) badges[i] = 0;
  for (int i = 0; i <= 18; ++i) padState[i] = 0;
  for (int i = 0; i <= 24; ++i) options[i] = 0;
  options[5] = 1;
  for (int i = 0; i <= 10; ++i) highscores[i] = 0;
  p_Load();
  for (int i = 0; i <= 32; ++i) sfxChannels[i] = i;
  return 0;
}

int c_MyApp::p_OnUpdate() {
  // Back key and function keys.
  padState[19] = xq_input_KeyHit(416);
  if (xq_input_KeyHit(112) > 0) xq_Drommel_DebugMode = 1 - xq_Drommel_DebugMode;
  if (xq_input_KeyHit(113) > 0) hideHud = 1 - hideHud;
  if (xq_input_KeyHit(122) > 0) p_FullscreenFlip();
  if (xq_input_KeyHit(115) > 0 || xq_input_KeyHit(432) > 0) xqError(String());

  xq_asyncevent_UpdateAsyncEvents();

  // Streamed music follows the pause state.
  if (xq_Drommel_HasMusicStream == 1 && musicPlaying == 1) {
    if (paused != 0) {
      xq_audio_PauseMusic();
    } else {
      xq_audio_ResumeMusic();
    }
  }

  MeasureRate(lastUpdateMs, updateFps, updateFpsAvg);

  // Pointer and touches in virtual units. Before the first render there is no scale yet; the
  // pointer then reads as the origin.
  const float w = static_cast<float>(xq_graphics_DeviceWidth());
  const float h = static_cast<float>(xq_graphics_DeviceHeight());
  const float overscan = xq_Drommel_overscan;
  const float overscanY = w > 0 ? h / w * overscan : 0;
  auto toVirtualX = [&](float x) { return scaleX > 0 ? Trunc((x - overscan) / scaleX) : 0; };
  auto toVirtualY = [&](float y) { return scaleY > 0 ? Trunc((y - overscanY) / scaleY) : 0; };
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
  mouseHit = xq_input_MouseHit(0);
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

  if (inputDelay > 0) --inputDelay;

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
  if (backLatch == 0 && holdLatch == 0 && heldOnAnyPort(99) && gameMode == 1 &&
      (creditsOpen == 1 || optionsOpen == 1 || badgesOpen == 1)) {
    // Back closes the credits and badges overlays; the options box closes itself.
    creditsOpen = 0;
    badgesOpen = 0;
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
    switch (gameMode) {
      case 1:
        p_Menu();
        break;
      case 2:
        p_LoadMenu();
        p_PlaySFX(96, 1);
        gameMode = 1;
        break;
      case 10:
        p_Game();
        p_InGame();
        if (gameMode == 10 && gameOverTimer > 0) p_GameOver();
        break;
      case 11:
        p_LoadGame();
        break;
      default:
        break;
    }
    if (gameMode == 1 || gameMode == 2) p_GameOver();
    if (gameMode == 1 && (creditsOpen == 1 || creditsSlide > 0)) p_CreditBox();
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
  for (int i = 0; i <= 18; ++i) {
    if (padState[i] == 1) padState[i] = 0;
  }

  if (xq_Drommel_DebugMode == 1) {
    p_ResetDraw();
    const String& line =
        debugText.For({renderFpsAvg, std::bit_cast<int>(scaleX), std::bit_cast<int>(scaleY)}, [&] {
          return String::FromInt(renderFpsAvg) + String(":") + String::FromFloat(scaleX) +
                 String(",") + String::FromFloat(scaleY);
        });
    p_Text(16, xq_Drommel_jscrh - 16, line, 0, 0);
  }
  return 0;
}

int c_MyApp::p_OnRender() {
  MeasureRate(lastRenderMs, renderFps, renderFpsAvg);

  const int deviceWidth = xq_graphics_DeviceWidth();
  const int deviceHeight = xq_graphics_DeviceHeight();
  const float w = static_cast<float>(deviceWidth);
  const float h = static_cast<float>(deviceHeight);

  xq_graphics_SetColor(clearRed, clearGreen, clearBlue);
  xq_graphics_SetAlpha(clearAlpha);
  xq_graphics_DrawRect(-1, -1, w + 2, h + 2);
  xq_graphics_SetColor(255, 255, 255);
  xq_graphics_SetAlpha(1);

  // A new window size reloads every image at the resolution for it.
  if (deviceWidth != lastDeviceWidth || deviceHeight != lastDeviceHeight) {
    loading = 1;
    lastDeviceWidth = deviceWidth;
    lastDeviceHeight = deviceHeight;
  }

  // The larger of the two axis scales is kept; the visible virtual area shrinks along the other.
  const float overscan = xq_Drommel_overscan;
  scaleX = (w - 2 * overscan) / xq_Drommel_rawscrw;
  scaleY = (h - 2 * overscan) / xq_Drommel_rawscrh;
  float k;
  if (scaleY > scaleX) {
    fitMode = 2;
    k = h / xq_Drommel_rawscrh;
    scaleX = scaleY;
  } else {
    fitMode = 1;
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
    const float* r = list + at;
    xq_graphics_SetAlpha(r[7]);
    xq_graphics_SetColor(r[10], r[11], r[12]);
    xq_graphics_SetBlend(r[13] == 3 ? 1 : 0);
    const float x = r[1] * scaleX + overscan;
    const float y = r[2] * scaleY + overscanY;
    if (r[0] == kNoValue) {
      xq_graphics_DrawRect(x, y, r[4] * scaleX, r[5] * scaleY);
    } else if (r[0] == kOvalRecord) {
      // Centre and radii.
      xq_graphics_DrawEllipse(x, y, r[4] * scaleX, r[5] * scaleY);
    } else if (r[0] >= 0 && r[0] < static_cast<float>(images.Length())) {
      const std::shared_ptr<c_Image>& image = images[static_cast<int>(r[0])];
      if (image != nullptr) {
        xq_graphics_DrawImage2(image, x, y, r[3], r[4] * scaleX * imageScale,
                               r[5] * scaleY * imageScale, static_cast<int>(r[6]));
      }
    }
  }
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
  drawBlend = 1;
  ring(250, 250, 250, 180);

  p_SetCol(255, 255, 0);
  p_Alpha(0.8f);
  p_Oval(jw / 2, jh / 2, size * 0.3f, size * 0.3f);

  p_SetCol(250, 160, 60);
  p_Alpha(0.7f);
  p_Rect(0, jh * 0.4f, jw, jh * 0.2f);

  p_ResetDraw();
  p_DrawImg(93, jw / 2, jh * 0.48f, 0);

  ring(50, 50, 50, 0);
  return 0;
}

// The "GAME" / "OVER" overlay: grows for 90 updates after a death, then the menu takes over and
// the overlay fades out by 2 steps per update.
int c_MyApp::p_GameOver() {
  const float jw = xq_Drommel_jscrw;
  const float jh = xq_Drommel_jscrh;
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

    // A game that scored nothing is no highscore, even against an empty table (it is not entered
    // into the table either).
    const String rank = p_MyNth();
    if (loopIndex > 0 && score > 0) {
      p_SetCol(0, 125, 255);
      p_Alpha(0.5f);
      p_Rect(jw * 0.35f, jh - ef / 1.5f - 16, jw * 0.3f, 32);
      p_SetSize(2);
      p_SetCol(100, 255, 100);
      p_Alpha(1);
      // Backslash and "n" break the line in the game's text.
      p_Text(jw / 2, jh - ef / 1.5f,
             newHighscoreText.For({loopIndex},
                                  [&] { return String("New Highscore\\n           ") + rank; }),
             0.5f, 2);
    }
    p_ResetDraw();
  }
  if (gameMode == 10) {
    ++gameOverStep;
    if (gameOverStep >= 90) {
      gameMode = 2;
      gameOverStep = 75;
      if (xq_Drommel_HasMusicStream == 1) {
        xq_audio_StopMusic();
        musicPlaying = 0;
      }
    }
  } else if (gameMode < 10) {
    gameOverStep = std::max(gameOverStep - 2, 0);
  }
  return 0;
}

String c_MyApp::p_MyNth() {
  static const char* const kRanks[] = {"1st!", "2nd", "3rd", "4th", "5th",
                                       "6th",  "7th", "8th", "9th", "10th"};
  const int row = 10 * (gameType - 1);
  loopIndex = 0;
  for (int p = 1; p <= 10; ++p) {
    if (score >= highscores[row + p - 1]) {
      loopIndex = p;
      break;
    }
  }
  return loopIndex > 0 ? String(kRanks[loopIndex - 1]) : String();
}
