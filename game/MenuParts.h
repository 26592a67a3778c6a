// What the screens around play share (main menu, options box, pause menu, credits box): the
// visible screen size, reading held actions, an image frame's drawn size and the options gear.
//
// Every screen only appends to the display list and reads input through the game's controls
// (p_PlayKeyAll, the pointer fields and the button tests), so all of them run without a window.
// Two latches keep one press from acting twice: holdLatch for the pointer and backLatch for keys;
// the update clears them once the pointer (keys) are released. The options box has its own pair
// while it owns the input.
#pragma once

#include <initializer_list>

#include "game/Globals.h"
#include "game/MyApp.h"

namespace menu {

inline float ScreenW() {
  return xq_Drommel_jscrw;
}
inline float ScreenH() {
  return xq_Drommel_jscrh;
}

// True when the action is held by any of the four players.
inline bool Held(c_MyApp& app, int action) {
  return app.p_PlayKeyAll(action, 1) != 0;
}

inline bool AnyHeld(c_MyApp& app, std::initializer_list<int> actions) {
  for (int action : actions) {
    if (Held(app, action)) return true;
  }
  return false;
}

// Drawn width of one frame of an image slot at the given scale, in virtual units.
inline float FrameSize(const c_MyApp& app, int slot, float scale) {
  return static_cast<float>(app.FrameWidth(slot)) * app.imageScale * scale;
}

// The options gear: two cogs turning against each other under a hub turning the other way.
inline void DrawGear(c_MyApp& app, float x, float y, float scale) {
  app.p_SetSize(scale);
  app.p_SetRot(app.gearAngle * 0.66f);
  app.p_DrawImg(Image::Buttons, x, y, Frame::GearOuter);
  app.p_SetRot(-app.gearAngle * 0.33f);
  app.p_DrawImg(Image::Buttons, x, y, Frame::GearInner);
  app.p_SetRot(-app.gearAngle);
  app.p_DrawImg(Image::Buttons, x, y, Frame::GearHub);
  app.p_SetRot(0);
}

}  // namespace menu
