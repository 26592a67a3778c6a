// The game object's saved progress (settings, badges, highscores in the state store), the
// right-aligned number text of the score displays, the inert online-score hooks, and the start of a
// new game.
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

// Hooks for an online score service; this game has none.
int c_MyApp::p_GC_PostScore(int, int) {
  return 0;
}
int c_MyApp::p_GC_Badges() {
  return 0;
}

int c_MyApp::p_LoadGame() {
  paused = 0;
  score = 0;
  gameOverTimer = 0;
  gameOverStep = 0;
  gameMode = 10;
  scrollX = 0;
  scrollY = 0;
  scrollTargetX = 0;
  scrollTargetY = 0;

  p_ResetStars(100);
  maxParticles = 250;
  for (int i = 0; i <= maxParticles; ++i) particles[10 * i] = 0;
  p_ResetPlayers();

  spikeScroll = xq_Drommel_jscrw;
  spikeLevel = 0;
  spikeSerial = 1;
  spikeLevelStep = 0;
  lastSpikePassed = 0;
  chainCount = 0;
  scoreFlash = 0;
  holdCount = 0;
  // Fills columns 0-100 (serials 1-101), raising the level every five columns.
  for (int i = 0; i <= 100; ++i) p_AddSpike();
  return 0;
}
