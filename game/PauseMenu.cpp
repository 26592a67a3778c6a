// The pause menu over a running game: resume in the middle, quit on the left (the game then ends
// through the game-over sequence) and the options on the right.
#include <algorithm>
#include <cmath>

#include "game/MenuParts.h"

using namespace menu;

namespace {

// Choices.
constexpr int kQuitChoice = -1;
constexpr int kResumeChoice = 0;
constexpr int kOptionsChoice = 1;

}  // namespace

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
  const bool resumeHit = p_Button(Image::Icons, cx, py, Frame::IconPlay) != 0;
  p_SetCol(255, 50, 50);
  const bool quitHit = p_Button(Image::Icons, quitX, sideTop, Frame::IconQuit) != 0;
  if (optionsOpen == 0) gearAngle += 0.2f;
  p_ResetDraw();
  DrawGear(*this, optionsX, sideTop, 1);
  const float gearSize = FrameSize(*this, Image::Buttons, 1);
  const bool optionsHit = p_MouseIn_Centered(optionsX, sideTop, gearSize, gearSize) != 0;

  if (pauseChoice < kQuitChoice || pauseChoice > kOptionsChoice) pauseChoice = kResumeChoice;
  p_ResetDraw();
  p_SetSize(2.5f);
  p_SetCol(255, 255, 100);
  const float markX = pauseChoice == kQuitChoice      ? quitX
                      : pauseChoice == kOptionsChoice ? optionsX
                                                      : cx;
  const float markY = pauseChoice == kResumeChoice ? py : sideTop;
  p_DrawImg(Image::Icons, markX, markY, Frame::IconMark);
  p_ResetDraw();

  // Input only while the panel is in (or on its way in) and nothing above it owns the input.
  if (paused == 0 || pauseDirection != 1) return 0;
  const bool touchReady = holdLatch == 0 && mouseDown > 0;
  const bool keysReady = backLatch == 0;
  const bool fire = keysReady && Held(*this, Action::Confirm);

  if ((touchReady && resumeHit) || (keysReady && Held(*this, Action::Back)) ||
      (fire && pauseChoice == kResumeChoice)) {
    pauseDirection = -1;
    holdLatch = touchReady ? 1 : holdLatch;
    backLatch = 1;
    p_PlaySFX(Sound::Confirm, 0.5f);
  } else if ((touchReady && quitHit) || (fire && pauseChoice == kQuitChoice)) {
    // The game ends through the game-over sequence, which then records the score.
    paused = 0;
    pauseDirection = -1;
    pauseSlide = -64;
    gameOverTimer = 1;
    holdLatch = touchReady ? 1 : holdLatch;
    backLatch = 1;
    p_PlaySFX(Sound::Confirm, 0.5f, 0.5f, 0);
  } else if ((touchReady && optionsHit) || (fire && pauseChoice == kOptionsChoice)) {
    optionsOpen = 1;
    optionsChoice = 0;
    holdLatch = 1;
    backLatch = 1;
    p_PlaySFX(Sound::Click, 1.0f);
  } else if (keysReady) {
    if (pauseChoice == kResumeChoice && AnyHeld(*this, {Action::Left, Action::Up})) {
      pauseChoice = kQuitChoice;
      backLatch = 1;
      p_PlaySFX(Sound::Confirm, 0.8f, 0.5f, 0);
    } else if (pauseChoice == kResumeChoice && Held(*this, Action::Right)) {
      pauseChoice = kOptionsChoice;
      backLatch = 1;
      p_PlaySFX(Sound::Confirm, 1.2f, 0.5f, 0);
    } else if (pauseChoice == kQuitChoice && AnyHeld(*this, {Action::Right, Action::Down})) {
      pauseChoice = kResumeChoice;
      backLatch = 1;
      p_PlaySFX(Sound::Confirm, 1.2f, 0.5f, 0);
    } else if (pauseChoice == kOptionsChoice && AnyHeld(*this, {Action::Left, Action::Down})) {
      pauseChoice = kResumeChoice;
      backLatch = 1;
      p_PlaySFX(Sound::Confirm, 0.8f, 0.5f, 0);
    }
  }
  return 0;
}
