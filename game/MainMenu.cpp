// The main menu: the title, the score panel with the best and the most recent scores, the two-item
// carousel (play and the options gear) worked by keys, touches and swipes, and the credits button.
#include <algorithm>
#include <array>
#include <cmath>

#include "game/MenuParts.h"
#include "host/Game.h"
#include "runtime/Error.h"

using namespace menu;

namespace {

// Distance between the two carousel items along their line.
constexpr float kItemSpacing = 88;
// The lowest screen height at which the title shows at its full size.
constexpr float kTitleFullHeight = 345;
// Menu items: play and the options gear.
constexpr int kPlayItem = 1;
constexpr int kOptionsItem = 2;

// Play starts a game of type 1; the gear opens the options box.
void ActivateMenuItem(c_MyApp& app, int item) {
  app.holdLatch = 1;
  app.backLatch = 1;
  if (item == kPlayItem) {
    app.gameType = 1;
    app.gameMode = Mode::NewGame;
  } else {
    app.optionsOpen = 1;
    app.optionsChoice = 0;
  }
  app.p_PlaySFX(Sound::Confirm, 1.0f);
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

  // Back in the main menu leaves the game at once. A page stays open: there it leaves full
  // screen, if the game shows full screen, and otherwise does nothing.
  if (backLatch == 0 && holdLatch == 0 && Held(*this, Action::Back)) {
    XQGame* host = XQGame::Host();
    if (host == nullptr || host->CanQuit()) xqError("");
    backLatch = 1;
    if (fullScreen == 1) p_FullscreenFlip();
  }

  const bool overlay = creditsOpen == 1 || optionsOpen == 1;
  const float slide = static_cast<float>(menuSlide);

  // Title, dropping in from above. On a screen shorter than kTitleFullHeight (wider than about
  // 1.85 : 1) it shrinks with the height, so that its letters stay below the top edge.
  p_ResetDraw();
  p_SetSize(1.5f * std::min(1.0f, h / kTitleFullHeight));
  p_DrawImg(Image::Title, 0.4f * w, 12 * slide + 0.2f * h, 0);

  // Score panel, sliding in from the right.
  const float panelX = w - menuWidth - 4 * slide;
  p_ResetDraw();
  p_SetCol(0, 0, 0, 0.4f);
  p_Rect(panelX, 0, menuWidth, h);
  // The credits button sits at the panel's top; drawn before the scores so that the header over
  // its lower edge stays readable.
  p_ResetDraw();
  p_SetSize(0.35f);
  const int creditsPressed = p_Button(Image::Logo, w - 70, 4 * slide + 32, 0);
  if (!overlay && menuChoice == kPlayItem) {
    const int rowHeight = static_cast<int>(static_cast<float>(FrameHeight(fontSlot)) * 1.5f);
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
        p_DrawImg(Image::Buttons, x, y, Frame::ButtonPlay);
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
      const float size = FrameSize(*this, Image::Buttons, scale);
      const bool touched = p_MouseIn_Centered(x, y, size, size) != 0;
      if (mouseDown > 0 && holdLatch == 0 && touched) {
        if (item != menuChoice) {
          SelectMenuItem(*this, item);
          holdLatch = 1;
          backLatch = 1;
          p_PlaySFX(Sound::Confirm, 1.0f);
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
      const int pressed = p_Button(Image::Icons, w - 70, h - 48 - 4 * slide, Frame::IconPlay);
      if (pressed != 0 && holdLatch == 0) ActivateMenuItem(*this, kPlayItem);
    }

    if (nearest != menuChoice && menuKeyMove == 0) {
      menuChoice = nearest;
      p_PlaySFX(Sound::Click, 1.0f);
    }
    if (std::fabs(menuScroll - menuScrollTarget) < 32) menuKeyMove = 0;
  }

  // Keys: previous / next item, activate, credits.
  if (backLatch == 0 && !overlay && gameMode == Mode::Menu) {
    if (AnyHeld(*this, {Action::Up, Action::Left})) {
      SelectMenuItem(*this, std::max(menuChoice - 1, kPlayItem));
      backLatch = 1;
      p_PlaySFX(Sound::Click, 1.0f);
    } else if (AnyHeld(*this, {Action::Down, Action::Right})) {
      SelectMenuItem(*this, std::min(menuChoice + 1, kOptionsItem));
      backLatch = 1;
      p_PlaySFX(Sound::Click, 1.0f);
    } else if (AnyHeld(*this, {Action::Confirm, Action::Button2, Action::Button3})) {
      ActivateMenuItem(*this, menuChoice);
    } else if (Held(*this, Action::Button6)) {
      creditsOpen = 1;
      backLatch = 1;
      p_PlaySFX(Sound::Click, 1.0f);
    }
  }

  // Credits button, top right.
  if (creditsPressed != 0 && holdLatch == 0 && !overlay && creditsOpen == 0 && optionsOpen == 0) {
    holdLatch = 1;
    creditsOpen = 1;
    p_PlaySFX(Sound::Click, 1.0f);
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
