// The credits box: a mosaic of tiles flying in, the test-card picture with the credit lines
// scrolling over it, the title and four corner discs with the window's figures.
#include <algorithm>
#include <cmath>

#include "game/MenuParts.h"
#include "graphics/Graphics.h"

using namespace menu;

namespace {

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
  p_DrawImg(Image::Testcard, w / 2, h / 2 - rise, 0);
  // A dark band across the picture's middle keeps the lines readable over its colour bars.
  p_ResetDraw();
  p_SetCol(0, 0, 0, 0.65f * fade);
  p_Rect(w / 2 - 112, h / 2 - rise - 42, 224, 84);

  // Credit lines scrolling up; down or up held speeds them on.
  creditsScroll -= 0.3f;
  if (AnyHeld(*this, {Action::Down, Action::Up})) creditsScroll -= 1.5f;
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
  p_DrawImg(Image::Title, w / 2, h - 32, 0);

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
  p_DrawImg(Image::Buttons, discX[2], discY[2], Frame::ButtonGear);
  p_SetSize(0.3f);
  p_DrawImg(Image::Logo, discX[3], discY[3], 0);
  p_ResetDraw();

  // Any touch or a confirm key closes the box.
  if (creditsOpen == 1) {
    if (holdLatch == 0 && mouseDown > 0) {
      creditsOpen = 0;
      holdLatch = 1;
      p_PlaySFX(Sound::Click, 1.0f);
    } else if (backLatch == 0 &&
               AnyHeld(*this, {Action::Button6, Action::Confirm, Action::Button2})) {
      creditsOpen = 0;
      backLatch = 1;
      p_PlaySFX(Sound::Click, 1.0f);
    }
  }
  return 0;
}
