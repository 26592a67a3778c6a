// The game module's globals and their initialisation.
#include "game/Globals.h"

float xq_Drommel_rawscrw;
float xq_Drommel_rawscrh;
float xq_Drommel_jscrw;
float xq_Drommel_jscrh;
float xq_Drommel_overscan;
int xq_Drommel_DebugMode;
int xq_Drommel_iCadeControls;
int xq_Drommel_HasMusic;
int xq_Drommel_HasMusicStream;
Array<String> xq_Drommel_CreditText;

void xq_Drommel_Init() {
  xq_Drommel_rawscrw = kDesignWidth;
  xq_Drommel_rawscrh = kDesignHeight;
  xq_Drommel_jscrw = kDesignWidth;
  xq_Drommel_jscrh = kDesignHeight;
  xq_Drommel_overscan = 0;
  xq_Drommel_DebugMode = 0;
  xq_Drommel_iCadeControls = 0;
  xq_Drommel_HasMusic = 0;
  xq_Drommel_HasMusicStream = 1;
  // Always exactly 50 lines, whatever the credits supply.
  xq_Drommel_CreditText = xq_Drommel_CreditLines().Resize(kCreditLines);
}

namespace {

// The globals hold their initial values from the program's start, before the start-up runs
// xq_Drommel_Init again; this is the only place those values are written.
[[maybe_unused]] const bool kInitialValuesSet = (xq_Drommel_Init(), true);

}  // namespace
