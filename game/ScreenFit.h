// Where the game's picture goes in a window, and how big a control is to a finger.
//
// Every screen lays itself out on the visible virtual area, and does so completely (all it draws,
// all its controls) only between two shapes of the window: kNarrowestShape (the main menu's title,
// drawn at 1.5 times its size at 0.4 of the width, runs off the left edge below 422 units across
// 480; 9 : 10 leaves a margin) and kWidestShape. A host that keeps the game's shape (a page on a phone held upright)
// gets the picture at the nearest of those shapes, centred between bands; otherwise the picture
// fills the window whatever its shape, as a desktop window has always had it.
//
//   const ScreenRect view = FitPicture(width, height, insets, host->KeepsShape());
//   const TouchRect area = TouchArea(drawn, minimum, neighbours, count, screenW, screenH);
#pragma once

// Width / height.
inline constexpr float kNarrowestShape = 0.9f;
inline constexpr float kWidestShape = 21.0f / 9.0f;

// The smallest touch target a finger hits reliably, in points (CSS pixels).
inline constexpr float kTouchTargetPoints = 44;

struct ScreenRect {
  float x = 0;
  float y = 0;
  float width = 0;
  float height = 0;
};

// Device pixels kept free along each edge.
struct ScreenInsets {
  float left = 0;
  float top = 0;
  float right = 0;
  float bottom = 0;
};

// The picture's rectangle in a window of width x height device pixels: the whole window when the
// shape is not kept; else the largest rectangle inside the insets whose shape lies between the
// narrowest and the widest, centred in the room the insets leave.
ScreenRect FitPicture(float width, float height, const ScreenInsets& insets, bool keepShape);

// A control's rectangle, edges in virtual units.
struct TouchRect {
  float left = 0;
  float top = 0;
  float right = 0;
  float bottom = 0;

  float Width() const { return right - left; }
  float Height() const { return bottom - top; }
  bool Overlaps(const TouchRect& o) const {
    return left < o.right && o.left < right && top < o.bottom && o.top < bottom;
  }
  bool Holds(float x, float y) const { return left < x && x < right && top < y && y < bottom; }
};

// The area a finger may touch a control in: its drawn rectangle, grown about its centre to at
// least `minimum` along each axis and moved inside the screen (0, 0, screenW, screenH) where it
// would stick out, then cut back wherever it would reach past the middle of the gap to a
// neighbouring control, so that no two controls' areas ever overlap. Neighbours that overlap the
// drawn rectangle itself (the same control a moment ago, or one drawn over it) do not cut.
TouchRect TouchArea(const TouchRect& drawn, float minimum, const TouchRect* neighbours, int count,
                    float screenW, float screenH);

// The controls of the last two updates: the hit tests of this update cut their touch areas at the
// ones of the last (this update's are not all known yet when the first one tests). No allocation.
class TouchTargets {
 public:
  static constexpr int kCapacity = 32;

  // A new update: this update's controls become the last update's.
  void NextUpdate();
  void Add(const TouchRect& drawn);
  const TouchRect* Last() const { return last_; }
  int LastCount() const { return lastCount_; }
  const TouchRect* Current() const { return current_; }
  int CurrentCount() const { return currentCount_; }

 private:
  TouchRect current_[kCapacity];
  TouchRect last_[kCapacity];
  int currentCount_ = 0;
  int lastCount_ = 0;
};
