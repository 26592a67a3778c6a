// The screens around play: the main menu with its score panel and two-item carousel, the options
// box, the pause menu, the credits box, and the step that records a finished game's score on the
// way back to the menu.
//
// Every screen here only appends to the display list and reads input through the game's controls
// (p_PlayKeyAll, the pointer fields and the button tests), so all of it runs without a window.
// Two latches keep one press from acting twice: holdLatch for the pointer and backLatch for keys;
// the update clears them once the pointer (keys) are released. The options box has its own pair
// while it owns the input.
#include <algorithm>
#include <array>
#include <cmath>
#include <initializer_list>

#include "audio/Sound.h"
#include "game/Globals.h"
#include "game/MyApp.h"
#include "graphics/Graphics.h"
#include "runtime/Error.h"

namespace {

// Interface sounds.
constexpr int kClickSound = 99;
constexpr int kConfirmSound = 98;

// Image slots.
constexpr int kButtonsImage = 95;
constexpr int kIconsImage = 97;
constexpr int kLogoImage = 93;
constexpr int kTitleImage = 98;
constexpr int kTestcardImage = 91;

// Distance between the two carousel items along their line.
constexpr float kItemSpacing = 88;
// Menu items: play and the options gear.
constexpr int kPlayItem = 1;
constexpr int kOptionsItem = 2;

// Options box rows after the back item (index 0).
constexpr int kSoundRow = 1;
constexpr int kArcadeRow = 2;
constexpr int kScreenRow = 3;
constexpr int kCreditsRow = 4;

// Pause menu choices.
constexpr int kQuitChoice = -1;
constexpr int kResumeChoice = 0;
constexpr int kOptionsChoice = 1;

float ScreenW() {
  return xq_Drommel_jscrw;
}
float ScreenH() {
  return xq_Drommel_jscrh;
}

// True when the action is held by any of the four players.
bool Held(c_MyApp& app, int action) {
  return app.p_PlayKeyAll(action, 1) != 0;
}

bool AnyHeld(c_MyApp& app, std::initializer_list<int> actions) {
  for (int action : actions) {
    if (Held(app, action)) return true;
  }
  return false;
}

// Drawn width of one frame of an image slot at the given scale, in virtual units.
float FrameSize(const c_MyApp& app, int slot, float scale) {
  return static_cast<float>(app.imageInfo[slot * 3]) * app.imageScale * scale;
}

// The options gear: two cogs turning against each other under a hub turning the other way.
void DrawGear(c_MyApp& app, float x, float y, float scale) {
  app.p_SetSize(scale);
  app.p_SetRot(app.gearAngle * 0.66f);
  app.p_DrawImg(kButtonsImage, x, y, 8);
  app.p_SetRot(-app.gearAngle * 0.33f);
  app.p_DrawImg(kButtonsImage, x, y, 9);
  app.p_SetRot(-app.gearAngle);
  app.p_DrawImg(kButtonsImage, x, y, 10);
  app.p_SetRot(0);
}

// Play starts a game of type 1; the gear opens the options box.
void ActivateMenuItem(c_MyApp& app, int item) {
  app.holdLatch = 1;
  app.backLatch = 1;
  if (item == kPlayItem) {
    app.gameType = 1;
    app.gameMode = 11;
  } else {
    app.optionsOpen = 1;
    app.optionsChoice = 0;
  }
  app.p_PlaySFX(kConfirmSound, 1.0f);
}

// Selects a menu item and scrolls the carousel to it; the selection then holds until the scroll
// has nearly arrived, so the item nearest the centre does not take it back on the way.
void SelectMenuItem(c_MyApp& app, int item) {
  app.menuChoice = item;
  app.menuKeyMove = item;
  app.menuScrollTarget = static_cast<float>(1 - item) * kItemSpacing;
  app.menuFling = 0;
  app.swipeSpeed = 0;
}

const String& SoundLabel(int setting) {
  static const String kLabels[] = {String("Sound : Off"), String("Sound : SFX + Music"),
                                   String("Sound : SFX"), String("Sound : Music")};
  return kLabels[setting >= 1 && setting <= 3 ? setting : 0];
}

// A point on a colour wheel, t in 0..1: red, yellow, green, cyan, blue, magenta and back.
void Hue(float t, float& r, float& g, float& b) {
  const float h = (t - std::floor(t)) * 6.0f;
  const float x = 1.0f - std::fabs(std::fmod(h, 2.0f) - 1.0f);
  float rr = 0, gg = 0, bb = 0;
  if (h < 1) {
    rr = 1, gg = x;
  } else if (h < 2) {
    rr = x, gg = 1;
  } else if (h < 3) {
    gg = 1, bb = x;
  } else if (h < 4) {
    gg = x, bb = 1;
  } else if (h < 5) {
    rr = x, bb = 1;
  } else {
    rr = 1, bb = x;
  }
  r = rr * 255, g = gg * 255, b = bb * 255;
}

// Position of a tile of the outer ring along the ring, clockwise from the top-left corner, 0..1.
float RingPosition(int col, int row, int cols, int rows) {
  const int perimeter = std::max(2 * (cols + rows) - 4, 1);
  int p = 0;
  if (row == 0) {
    p = col;
  } else if (col == cols - 1) {
    p = cols - 1 + row;
  } else if (row == rows - 1) {
    p = cols - 1 + rows - 1 + (cols - 1 - col);
  } else {
    p = 2 * (cols - 1) + rows - 1 + (rows - 1 - row);
  }
  return static_cast<float>(p) / static_cast<float>(perimeter);
}

}  // namespace

int c_MyApp::p_Menu() {
  const float w = ScreenW();
  const float h = ScreenH();

  p_CLS2D(0, 0, 80, 1);
  if (menuSlide < 0) ++menuSlide;
  menuWidth = 140;
  if (menuChoice != kPlayItem && menuChoice != kOptionsItem) {
    menuChoice = kPlayItem;
    gameType = 1;
  }

  // Back in the main menu leaves the game at once.
  if (backLatch == 0 && holdLatch == 0 && Held(*this, 99)) xqError("");

  const bool overlay = creditsOpen == 1 || optionsOpen == 1;
  const float slide = static_cast<float>(menuSlide);

  // Title, dropping in from above.
  p_ResetDraw();
  p_SetSize(1.5f);
  p_DrawImg(kTitleImage, 0.4f * w, 12 * slide + 0.2f * h, 0);

  // Score panel, sliding in from the right.
  const float panelX = w - menuWidth - 4 * slide;
  p_ResetDraw();
  p_SetCol(0, 0, 0, 0.4f);
  p_Rect(panelX, 0, menuWidth, h);
  // The credits button sits at the panel's top; drawn before the scores so that the header over
  // its lower edge stays readable.
  p_ResetDraw();
  p_SetSize(0.35f);
  const int creditsPressed = p_Button(kLogoImage, w - 70, 4 * slide + 32, 0);
  if (!overlay && menuChoice == kPlayItem) {
    const int rowHeight = static_cast<int>(static_cast<float>(imageInfo[fontSlot * 3 + 1]) * 1.5f);
    const int room = static_cast<int>((h - 90) - h / 2);
    const int rows = std::clamp(rowHeight > 0 ? room / rowHeight : 1, 1, 10);
    const int type = gameType >= 1 && gameType <= 4 ? gameType : 1;
    const int best = 10 * (type - 1);
    // Both tables' texts change only with the scores shown, so they are built only then.
    std::array<int, 22> shown{rows, best};
    for (int i = 0; i < rows; ++i) {
      shown[2 + i] = highscores[best + i];
      shown[12 + i] = highscores[best + 10 + i];
    }
    const String& bestText = bestScoresText.For(shown, [&] {
      String text = rows == 1 ? String("Highscore") : String("Top ") + String::FromInt(rows);
      for (int i = 0; i < rows; ++i) text += String("\\n") + p_rstr(shown[2 + i], 11, " ");
      return text;
    });
    const String& recentText = recentScoresText.For(shown, [&] {
      String text = rows == 1 ? String("Last") : String("Last ") + String::FromInt(rows);
      for (int i = 0; i < rows; ++i) text += String("\\n") + p_rstr(shown[12 + i], 11, " ");
      return text;
    });
    p_ResetDraw();
    p_SetSize(1.5f);
    p_SetCol(255, 200, 100);
    p_Text(panelX + 20, 60, bestText, 0, 0);
    p_SetCol(200, 255, 100);
    p_Text(panelX + 20, h / 2 + 20, recentText, 0, 0);
  }

  // Carousel: play and the options gear along a line, horizontal in landscape and vertical in
  // portrait, the selected one larger.
  if (!overlay) {
    const float lineX = (w - menuWidth) / 2;
    const float lineY = landscape ? 0.65f * h : 0.6f * h;
    int nearest = menuChoice;
    float nearestDistance = 1e9f;
    for (int item = kPlayItem; item <= kOptionsItem; ++item) {
      const float along = static_cast<float>(item - 1) * kItemSpacing + menuScroll;
      const float x = landscape ? lineX + along : lineX;
      const float y = landscape ? lineY : lineY + along;
      const bool selected = item == menuChoice;
      const float scale = selected ? 1.75f : 1.0f;
      const float alpha = selected ? 1.0f : std::clamp(1 - std::fabs(along) / 480, 0.5f, 1.0f);
      p_ResetDraw();
      p_Alpha(alpha);
      if (item == kPlayItem) {
        p_SetSize(scale);
        p_DrawImg(kButtonsImage, x, y, 0);
      } else {
        DrawGear(*this, x, y, scale);
      }

      // An item pushed out too far takes the selection and pulls the carousel back toward it.
      if (landscape) {
        if (item == kPlayItem && x > 0.75f * (w - menuWidth)) {
          menuChoice = item;
          menuScrollTarget -= 8;
        } else if (item == kOptionsItem && x < 0.25f * w) {
          menuChoice = item;
          menuScrollTarget += 8;
        }
      } else {
        if (item == kPlayItem && y > 0.75f * h) {
          menuChoice = item;
          menuScrollTarget -= 8;
        } else if (item == kOptionsItem && y < 0.45f * h) {
          menuChoice = item;
          menuScrollTarget += 8;
        }
      }

      // A touch selects an item, or activates the one already selected.
      const float size = FrameSize(*this, kButtonsImage, scale);
      if (mouseDown > 0 && holdLatch == 0 && p_MouseIn_Centered(x, y, size, size) != 0) {
        if (item != menuChoice) {
          SelectMenuItem(*this, item);
          holdLatch = 1;
          backLatch = 1;
          p_PlaySFX(kConfirmSound, 1.0f);
        } else {
          ActivateMenuItem(*this, item);
        }
      }
      if (std::fabs(along) < nearestDistance) {
        nearestDistance = std::fabs(along);
        nearest = item;
      }
    }

    if (menuChoice == kPlayItem) {
      p_ResetDraw();
      p_SetSize(3, 2.5f);
      p_SetCol(100, 255, 100, 0.3f);
      const int pressed = p_Button(kIconsImage, w - 70, h - 48 - 4 * slide, 3);
      if (pressed != 0 && holdLatch == 0) ActivateMenuItem(*this, kPlayItem);
    }

    if (nearest != menuChoice && menuKeyMove == 0) {
      menuChoice = nearest;
      p_PlaySFX(kClickSound, 1.0f);
    }
    if (std::fabs(menuScroll - menuScrollTarget) < 32) menuKeyMove = 0;
  }

  // Keys: previous / next item, activate, credits.
  if (backLatch == 0 && !overlay && gameMode == 1) {
    if (AnyHeld(*this, {0, 3})) {
      SelectMenuItem(*this, std::max(menuChoice - 1, kPlayItem));
      backLatch = 1;
      p_PlaySFX(kClickSound, 1.0f);
    } else if (AnyHeld(*this, {8, 5})) {
      SelectMenuItem(*this, std::min(menuChoice + 1, kOptionsItem));
      backLatch = 1;
      p_PlaySFX(kClickSound, 1.0f);
    } else if (AnyHeld(*this, {10, 11, 12, 16, 17})) {
      ActivateMenuItem(*this, menuChoice);
    } else if (Held(*this, 15)) {
      creditsOpen = 1;
      backLatch = 1;
      p_PlaySFX(kClickSound, 1.0f);
    }
  }

  // Credits button, top right.
  if (creditsPressed != 0 && holdLatch == 0 && !overlay && creditsOpen == 0 && optionsOpen == 0) {
    holdLatch = 1;
    creditsOpen = 1;
    p_PlaySFX(kClickSound, 1.0f);
  }

  // Swipes fling the carousel; it eases toward its target and the fling dies away.
  if (mouseDown > 0 && !overlay) {
    const int moved = landscape ? mouseX - prevMouseX : mouseY - prevMouseY;
    swipeSpeed = static_cast<float>(moved) * 1.5f;
    if (std::fabs(swipeSpeed) > 2) {
      holdLatch = 2;
      menuFling += swipeSpeed;
    }
  } else if (mouseDown == 0) {
    swipeSpeed = 0;
    // Released and at rest: settle on the selected item rather than between the two.
    if (menuFling == 0 && menuKeyMove == 0) {
      menuScrollTarget = static_cast<float>(1 - menuChoice) * kItemSpacing;
    }
  }
  menuScrollTarget += menuFling;
  menuScroll += (menuScrollTarget - menuScroll) / 8;
  menuFling *= 0.2f;
  if (std::fabs(menuFling) < 3) menuFling = 0;

  if (menuChoice == kOptionsItem) {
    gearAngle += 0.5f;
  } else {
    gameType = 1;
  }
  return 0;
}

int c_MyApp::p_OptionBox() {
  const float w = ScreenW();
  const bool withCredits = paused == 0;
  const int lastRow = withCredits ? kCreditsRow : kScreenRow;

  // The box owns the input while it is shown; its own latches hold while it slides.
  if (!AnyHeld(*this, {0, 3, 5, 8, 10, 11, 12, 13, 14, 15, 99})) optionsKeyLatch = 0;
  if (mouseDown == 0) optionsTouchLatch = 0;
  if (optionsSlide != 30) {
    optionsKeyLatch = 1;
    optionsTouchLatch = 1;
  }
  holdLatch = 1;
  backLatch = 1;
  if (options[5] < 0 || options[5] > 3) options[5] = 0;
  optionsChoice = std::clamp(optionsChoice, 0, lastRow);

  const bool live = optionsOpen == 1;
  const bool touchReady = live && optionsTouchLatch == 0 && optionsKeyLatch == 0;
  const bool keyReady = live && optionsKeyLatch == 0;

  const float top = static_cast<float>(30 - optionsSlide) * 24;
  p_ResetDraw();
  p_SetCol(150, 75, 0, 0.85f);
  p_Rect(50, top, w - 100, ScreenH());

  // Back item: the gear and "<[BACK]".
  gearAngle += 0.2f;
  const float gearX = static_cast<float>(3 * optionsSlide - 90) * 4 + 100;
  const float gearScale = optionsChoice == 0 ? 2.0f : 1.5f;
  p_ResetDraw();
  DrawGear(*this, gearX, 60, gearScale);
  p_ResetDraw();
  p_SetSize(2);
  p_Text(gearX + 76, 60, "<[BACK]", 0, 1);
  const float gearSize = FrameSize(*this, kButtonsImage, gearScale);
  const bool backTouched = p_MouseIn_Centered(gearX, 60, gearSize, gearSize) != 0 ||
                           p_MouseIn_Centered(gearX + 124, 60, 120, 28) != 0;

  int activate = -1;
  bool close = false;
  if (touchReady && backTouched) {
    close = true;
    optionsTouchLatch = 1;
  }

  // Rows.
  const float rowsTop = top + 130;
  for (int row = kSoundRow; row <= lastRow; ++row) {
    float y = rowsTop + 40 * static_cast<float>(row - 1);
    float textX = 100;
    float rectX = 84;
    float rectW = w - 168;
    static const String kArcadeOn("iCade : On"), kArcadeOff("iCade : Off");
    static const String kFullscreen("Fullscreen"), kWindowed("Windowed"), kCredits("Credits");
    const String* label;
    switch (row) {
      case kSoundRow:
        label = &SoundLabel(options[5]);
        break;
      case kArcadeRow:
        label = xq_Drommel_iCadeControls == 1 ? &kArcadeOn : &kArcadeOff;
        break;
      case kScreenRow:
        label = fullScreen == 0 ? &kFullscreen : &kWindowed;
        break;
      default:
        label = &kCredits;
        y += 10;
        textX = w - 264;
        rectX = textX - 16;
        rectW = 180;
        break;
    }
    p_ResetDraw();
    if (row == optionsChoice) {
      p_SetCol(0, 180, 255, 0.5f);
    } else {
      p_SetCol(0, 0, 160, 0.5f);
    }
    const bool touched = p_Touch(rectX, y - 2, rectW, 24) != 0;
    // Labels shrink to stay inside their row on a narrow (portrait) screen.
    const float textRoom = rectX + rectW - 8 - textX;
    const float textWidth = 7.0f * static_cast<float>(label->Length());
    p_ResetDraw();
    p_SetSize(std::clamp(textRoom / textWidth, 1.0f, 2.0f));
    p_Text(textX, y, *label, 0, 0);
    if (touchReady && touched && !close && activate < 0) {
      optionsChoice = row;
      activate = row;
    }
  }

  // Keys.
  if (keyReady && activate < 0 && !close) {
    if (Held(*this, 99) || (optionsChoice == 0 && AnyHeld(*this, {15, 10, 11}))) {
      close = true;
      optionsKeyLatch = 1;
    } else if (AnyHeld(*this, {0, 3})) {
      optionsChoice = std::max(optionsChoice - 1, 0);
      optionsKeyLatch = 1;
      p_PlaySFX(kClickSound, 1.0f);
    } else if (AnyHeld(*this, {8, 5})) {
      optionsChoice = std::min(optionsChoice + 1, lastRow);
      optionsKeyLatch = 1;
      p_PlaySFX(kClickSound, 1.0f);
    } else if (AnyHeld(*this, {10, 11, 12, 13, 14, 15})) {
      optionsKeyLatch = 1;
      if (optionsChoice > 0 && optionsTouchLatch == 0) activate = optionsChoice;
    }
  }

  switch (activate) {
    case kSoundRow:
      options[5] = (options[5] + 1) % 4;
      if (options[5] == 0 || options[5] == 2) {
        xq_audio_StopMusic();
        musicPlaying = 0;
      }
      p_PlaySFX(kClickSound, 1.0f);
      break;
    case kArcadeRow: {
      const int on = 1 - xq_Drommel_iCadeControls;
      p_iCade(on);
      for (int i = 0; i < 20; ++i) padState[i] = 0;
      p_PlaySFX(kClickSound, 1.0f);
      break;
    }
    case kScreenRow:
      p_PlaySFX(kClickSound, 1.0f);
      p_FullscreenFlip();
      break;
    case kCreditsRow:
      creditsOpen = 1;
      close = true;
      break;
    default:
      break;
  }
  if (activate > 0) {
    optionsKeyLatch = 1;
    optionsTouchLatch = 1;
  }

  // Closing keeps what was changed: the settings are saved every time the box goes.
  if (close) {
    optionsOpen = 0;
    p_PlaySFX(kClickSound, 1.0f);
    p_Save();
  }
  return 0;
}

int c_MyApp::p_PauseMenu() {
  const float w = ScreenW();
  const float h = ScreenH();

  p_ResetDraw();
  p_SetCol(0, 0, 0, std::fabs(static_cast<float>(pauseSlide)) / (0.8f * h));
  p_Rect(-1, -1, w + 2, h + 2);

  // Slide in to the middle, or out above the top and then unpause.
  const int middle = static_cast<int>(h / 2);
  if (pauseDirection == 1) {
    if (pauseSlide < middle) pauseSlide = std::min(pauseSlide + 24, middle);
  } else {
    const bool wasHidden = pauseSlide < -63;
    pauseSlide -= 24;
    if (pauseSlide < -32 || wasHidden) {
      paused = 0;
      pauseSlide = -64;
    }
  }

  const float cx = w / 2;
  const float py = static_cast<float>(pauseSlide);
  auto band = [&](float width, float height, float dy, float r, float g, float b, float a) {
    p_SetCol(r, g, b, a);
    p_Rect(cx - width / 2, py + dy, width, height);
  };
  p_ResetDraw();
  if (landscape) {
    band(256, 8, -64, 255, 255, 10, 0.6f);
    band(280, 104, -52, 255, 150, 10, 0.7f);
    band(256, 8, 56, 10, 150, 255, 0.6f);
  } else {
    band(192, 8, -92, 255, 255, 10, 0.6f);
    band(256, 160, -80, 255, 150, 10, 0.7f);
    band(192, 8, 84, 10, 150, 255, 0.6f);
  }

  const float sideX = landscape ? 140.0f : 96.0f;
  const float sideY = landscape ? 64.0f : 96.0f;
  const float quitX = cx - sideX;
  const float optionsX = cx + sideX;
  const float sideTop = py - sideY;

  p_ResetDraw();
  p_SetSize(2);
  p_SetCol(50, 50, 250);
  const bool resumeHit = p_Button(kIconsImage, cx, py, 3) != 0;
  p_SetCol(255, 50, 50);
  const bool quitHit = p_Button(kIconsImage, quitX, sideTop, 1) != 0;
  if (optionsOpen == 0) gearAngle += 0.2f;
  p_ResetDraw();
  DrawGear(*this, optionsX, sideTop, 1);
  const float gearSize = FrameSize(*this, kButtonsImage, 1);
  const bool optionsHit = p_MouseIn_Centered(optionsX, sideTop, gearSize, gearSize) != 0;

  if (pauseChoice < kQuitChoice || pauseChoice > kOptionsChoice) pauseChoice = kResumeChoice;
  p_ResetDraw();
  p_SetSize(2.5f);
  p_SetCol(255, 255, 100);
  const float markX = pauseChoice == kQuitChoice      ? quitX
                      : pauseChoice == kOptionsChoice ? optionsX
                                                      : cx;
  const float markY = pauseChoice == kResumeChoice ? py : sideTop;
  p_DrawImg(kIconsImage, markX, markY, 6);
  p_ResetDraw();

  // Input only while the panel is in (or on its way in) and nothing above it owns the input.
  if (paused == 0 || pauseDirection != 1) return 0;
  const bool touchReady = holdLatch == 0 && mouseDown > 0;
  const bool keysReady = backLatch == 0;
  const bool fire = keysReady && Held(*this, 10);

  if ((touchReady && resumeHit) || (keysReady && Held(*this, 99)) ||
      (fire && pauseChoice == kResumeChoice)) {
    pauseDirection = -1;
    holdLatch = touchReady ? 1 : holdLatch;
    backLatch = 1;
    p_PlaySFX(kConfirmSound, 0.5f);
  } else if ((touchReady && quitHit) || (fire && pauseChoice == kQuitChoice)) {
    // The game ends through the game-over sequence, which then records the score.
    paused = 0;
    pauseDirection = -1;
    pauseSlide = -64;
    gameOverTimer = 1;
    holdLatch = touchReady ? 1 : holdLatch;
    backLatch = 1;
    p_PlaySFX(kConfirmSound, 0.5f, 0.5f, 0);
  } else if ((touchReady && optionsHit) || (fire && pauseChoice == kOptionsChoice)) {
    optionsOpen = 1;
    optionsChoice = 0;
    holdLatch = 1;
    backLatch = 1;
    p_PlaySFX(kClickSound, 1.0f);
  } else if (keysReady) {
    if (pauseChoice == kResumeChoice && AnyHeld(*this, {3, 0})) {
      pauseChoice = kQuitChoice;
      backLatch = 1;
      p_PlaySFX(kConfirmSound, 0.8f, 0.5f, 0);
    } else if (pauseChoice == kResumeChoice && Held(*this, 5)) {
      pauseChoice = kOptionsChoice;
      backLatch = 1;
      p_PlaySFX(kConfirmSound, 1.2f, 0.5f, 0);
    } else if (pauseChoice == kQuitChoice && AnyHeld(*this, {5, 8})) {
      pauseChoice = kResumeChoice;
      backLatch = 1;
      p_PlaySFX(kConfirmSound, 1.2f, 0.5f, 0);
    } else if (pauseChoice == kOptionsChoice && AnyHeld(*this, {3, 8})) {
      pauseChoice = kResumeChoice;
      backLatch = 1;
      p_PlaySFX(kConfirmSound, 0.8f, 0.5f, 0);
    }
  }
  return 0;
}

int c_MyApp::p_CreditBox() {
  const float w = ScreenW();
  const float h = ScreenH();
  const float slide = static_cast<float>(std::clamp(creditsSlide, 0, 30));
  const float fade = slide / 30;
  const float rise = (30 - slide) * 24;

  // Mosaic of square tiles flying in from outside, the far ones from further away.
  const float tile = std::max(w / 12, h / 12);
  const int cols = std::max(static_cast<int>(w / tile), 1);
  const int rows = std::max(static_cast<int>(h / tile), 1);
  const float originX = (w - static_cast<float>(cols) * tile) / 2;
  const float originY = (h - static_cast<float>(rows) * tile) / 2;
  const float size = (tile - 2) * std::min(slide / 20, 1.0f);
  p_ResetDraw();
  for (int row = 0; row < rows; ++row) {
    for (int col = 0; col < cols; ++col) {
      const float dx = static_cast<float>(col) - static_cast<float>(cols - 1) / 2;
      const float dy = static_cast<float>(row) - static_cast<float>(rows - 1) / 2;
      const float push = (30 - slide) * std::sqrt(dx * dx + dy * dy);
      const float x = originX + (static_cast<float>(col) + 0.5f) * tile + dx * push;
      const float y = originY + (static_cast<float>(row) + 0.5f) * tile + dy * push;
      const bool ring = row == 0 || col == 0 || row == rows - 1 || col == cols - 1;
      if (ring) {
        p_SetCol(0, 0, 0, fade);
        p_Rect(x - size / 2, y - size / 2, size, size);
        float r = 0, g = 0, b = 0;
        Hue(RingPosition(col, row, cols, rows), r, g, b);
        p_SetCol(r, g, b, fade);
      } else {
        p_SetCol(255, 255, 255, fade);
        p_Rect(x - size / 2, y - size / 2, size, size);
        p_SetCol(128, 128, 128, fade);
      }
      p_Rect(x - size / 4, y - size / 4, size / 2, size / 2);
    }
  }

  p_ResetDraw();
  p_Alpha(fade);
  p_DrawImg(kTestcardImage, w / 2, h / 2 - rise, 0);
  // A dark band across the picture's middle keeps the lines readable over its colour bars.
  p_ResetDraw();
  p_SetCol(0, 0, 0, 0.65f * fade);
  p_Rect(w / 2 - 112, h / 2 - rise - 42, 224, 84);

  // Credit lines scrolling up; down or up held speeds them on.
  creditsScroll -= 0.3f;
  if (AnyHeld(*this, {8, 0})) creditsScroll -= 1.5f;
  const int lineCount = std::max(xq_Drommel_CreditText.Length() - 1, 1);
  while (creditsScroll < -16) {
    creditsScroll += 16;
    creditsLine = (creditsLine + 1) % lineCount;
  }
  for (int k = -3; k <= 4; ++k) {
    const int line = ((creditsLine + k) % lineCount + lineCount) % lineCount;
    const float offset = 16 * static_cast<float>(k) + creditsScroll;
    const float alpha = std::clamp(1 - (std::fabs(offset) / 40 - 0.3f), 0.0f, 1.0f);
    if (alpha <= 0) continue;
    p_ResetDraw();
    p_Alpha(alpha * fade);
    p_Text(w / 2 + 24, h / 2 - rise + offset, xq_Drommel_CreditText[line], 0.8f, 0.8f);
  }

  p_ResetDraw();
  p_Alpha(fade);
  p_SetSize(0.4f);
  p_DrawImg(kTitleImage, w / 2, h - 32, 0);

  // Corner discs: the window's size and update rate, the virtual screen and render rate, the gear
  // and the logo.
  const float radius = 40;
  const float inset = 44;
  const float discX[4] = {inset, w - inset, inset, w - inset};
  const float discY[4] = {inset, inset, h - inset, h - inset};
  for (int i = 0; i < 4; ++i) {
    p_ResetDraw();
    p_SetCol(255, 255, 255, fade);
    p_Oval(discX[i], discY[i], radius, radius);
    p_SetCol(128, 128, 128, fade);
    p_Oval(discX[i], discY[i], radius - 8, radius - 8);
  }
  const auto numbers = [&](float x, float y, int a, int b, int c) {
    p_ResetDraw();
    p_Alpha(fade);
    p_Text(x, y - 16, String::FromInt(a), 0.8f, 0.8f);
    p_Text(x, y, String::FromInt(b), 0.8f, 0.8f);
    p_Text(x, y + 16, String::FromInt(c), 0.8f, 0.8f);
  };
  numbers(discX[0], discY[0], xq_graphics_DeviceWidth(), xq_graphics_DeviceHeight(), updateFpsAvg);
  numbers(discX[1], discY[1], static_cast<int>(w), static_cast<int>(h), renderFpsAvg);
  p_ResetDraw();
  p_Alpha(fade);
  p_DrawImg(kButtonsImage, discX[2], discY[2], 12);
  p_SetSize(0.3f);
  p_DrawImg(kLogoImage, discX[3], discY[3], 0);
  p_ResetDraw();

  // Any touch or a confirm key closes the box.
  if (creditsOpen == 1) {
    if (holdLatch == 0 && mouseDown > 0) {
      creditsOpen = 0;
      holdLatch = 1;
      p_PlaySFX(kClickSound, 1.0f);
    } else if (backLatch == 0 && AnyHeld(*this, {15, 10, 11})) {
      creditsOpen = 0;
      backLatch = 1;
      p_PlaySFX(kClickSound, 1.0f);
    }
  }
  return 0;
}

int c_MyApp::p_LoadMenu() {
  // Only game type 1 is ever started; a type whose rows would not fit the table records as type 1.
  const int type = gameType >= 1 && gameType <= 4 ? gameType : 1;
  const int best = 10 * (type - 1);
  const int recent = best + 10;

  // Best list: before the first lower score; a score that only equals the tenth stays out.
  for (int i = 0; i < 10; ++i) {
    if (score > highscores[best + i]) {
      for (int j = 9; j > i; --j) highscores[best + j] = highscores[best + j - 1];
      highscores[best + i] = score;
      break;
    }
  }
  // Recent list: always, newest first.
  for (int j = 9; j > 0; --j) highscores[recent + j] = highscores[recent + j - 1];
  highscores[recent] = score;

  // A game that ended while its pause menu was open must not leave the menu paused.
  paused = 0;
  pauseDirection = -1;
  pauseSlide = -64;

  p_Save();
  return 0;
}
