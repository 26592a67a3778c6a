// The picture's place in the window and the touch areas of controls (see ScreenFit.h).
#include "game/ScreenFit.h"

#include <algorithm>
#include <cmath>

ScreenRect FitPicture(float width, float height, const ScreenInsets& insets, bool keepShape) {
  if (!keepShape) return {0, 0, width, height};
  const float left = std::clamp(insets.left, 0.0f, width);
  const float top = std::clamp(insets.top, 0.0f, height);
  const float roomW = std::max(width - left - std::clamp(insets.right, 0.0f, width - left), 0.0f);
  const float roomH = std::max(height - top - std::clamp(insets.bottom, 0.0f, height - top), 0.0f);
  float w = roomW;
  float h = roomH;
  if (h > 0 && w / h < kNarrowestShape) h = w / kNarrowestShape;
  if (h > 0 && w / h > kWidestShape) w = h * kWidestShape;
  // Whole pixels, so that the bands' edges are sharp.
  w = std::floor(w);
  h = std::floor(h);
  return {std::round(left + (roomW - w) / 2), std::round(top + (roomH - h) / 2), w, h};
}

namespace {

// The drawn rectangle grown to the minimum about its centre and moved inside the screen, before
// any neighbour cuts it.
TouchRect Grown(const TouchRect& drawn, float minimum, float screenW, float screenH) {
  TouchRect a = drawn;
  const auto grow = [minimum](float& low, float& high, float screen) {
    if (high - low < minimum) {
      const float centre = (low + high) / 2;
      low = centre - minimum / 2;
      high = centre + minimum / 2;
    }
    // A control at the screen's edge keeps its whole area where a finger can reach it.
    if (high - low <= screen) {
      if (low < 0) {
        high -= low;
        low = 0;
      } else if (high > screen) {
        low -= high - screen;
        high = screen;
      }
    }
  };
  grow(a.left, a.right, screenW);
  grow(a.top, a.bottom, screenH);
  return a;
}

}  // namespace

TouchRect TouchArea(const TouchRect& drawn, float minimum, const TouchRect* neighbours, int count,
                    float screenW, float screenH) {
  TouchRect a = Grown(drawn, minimum, screenW, screenH);
  for (int i = 0; i < count; ++i) {
    const TouchRect& n = neighbours[i];
    if (n.Overlaps(drawn)) continue;
    if (!a.Overlaps(Grown(n, minimum, screenW, screenH))) continue;
    // Both controls cut at the middle of the gap between their drawn rectangles, along the axis
    // that separates them most: the two areas meet there and never overlap.
    const float gapX = std::max(n.left - drawn.right, drawn.left - n.right);
    const float gapY = std::max(n.top - drawn.bottom, drawn.top - n.bottom);
    if (gapX >= gapY) {
      if (n.left >= drawn.right) {
        a.right = std::min(a.right, (drawn.right + n.left) / 2);
      } else {
        a.left = std::max(a.left, (n.right + drawn.left) / 2);
      }
    } else if (n.top >= drawn.bottom) {
      a.bottom = std::min(a.bottom, (drawn.bottom + n.top) / 2);
    } else {
      a.top = std::max(a.top, (n.bottom + drawn.top) / 2);
    }
  }
  // Never less than what is drawn.
  a.left = std::min(a.left, drawn.left);
  a.top = std::min(a.top, drawn.top);
  a.right = std::max(a.right, drawn.right);
  a.bottom = std::max(a.bottom, drawn.bottom);
  return a;
}

void TouchTargets::NextUpdate() {
  std::copy(current_, current_ + currentCount_, last_);
  lastCount_ = currentCount_;
  currentCount_ = 0;
}

void TouchTargets::Add(const TouchRect& drawn) {
  if (currentCount_ < kCapacity) current_[currentCount_++] = drawn;
}
