// The game object's saved progress (settings, badges, highscores in the state store) and the
// right-aligned number text of the score displays.
#include <cstdint>

#include "framework/App.h"
#include "game/Globals.h"
#include "game/MyApp.h"
#include "game/SaveRecord.h"
#include "runtime/Error.h"

namespace {

template <class Flags>
BadgeMasks PackBadges(const Flags& flags) {
  BadgeMasks masks{};
  for (int m = 0; m < kSavedBadgeMasks; ++m) {
    uint32_t bits = 0;
    for (int k = 0; k < 32; ++k) {
      if (flags[32 * m + k]) bits |= uint32_t{1} << k;
    }
    masks[static_cast<size_t>(m)] = static_cast<int>(bits);
  }
  return masks;
}

template <class Flags>
void UnpackBadges(const BadgeMasks& masks, Flags& flags) {
  for (int m = 0; m < kSavedBadgeMasks; ++m) {
    const auto bits = static_cast<uint32_t>(masks[static_cast<size_t>(m)]);
    for (int k = 0; k < 32; ++k) flags[32 * m + k] = ((bits >> k) & 1u) != 0;
  }
}

}  // namespace

int c_MyApp::p_Save() {
  const String record = BuildSaveRecord(options, PackBadges(badges), highscores);
  if (xq_Drommel_DebugMode == 1) xqPrint(record);
  // A failed write leaves the previous state file (if any) as it was; the store prints why, and
  // the game goes on.
  xq_app_SaveState(record);
  return 0;
}

int c_MyApp::p_Load() {
  const String text = xq_app_LoadState();
  if (xq_Drommel_DebugMode == 1) xqPrint(text);
  BadgeMasks masks = PackBadges(badges);
  for (const String& message : ApplySaveRecord(text, options, masks, highscores)) {
    xqPrint(message);
  }
  UnpackBadges(masks, badges);
  xq_Drommel_overscan = 0;
  return 0;
}

String c_MyApp::p_rstr(int value, int width, const String& pad) {
  return RightAlignedNumber(value, width, pad);
}
