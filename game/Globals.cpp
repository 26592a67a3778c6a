// The game module's globals and their initialisation.
#include "game/Globals.h"

float xq_Drommel_rawscrw = 640;
float xq_Drommel_rawscrh = 480;
float xq_Drommel_jscrw = 640;
float xq_Drommel_jscrh = 480;
float xq_Drommel_overscan = 0;
int xq_Drommel_DebugMode = 0;
int xq_Drommel_iCadeControls = 0;
int xq_Drommel_HasMusic = 0;
int xq_Drommel_HasMusicStream = 1;
Array<String> xq_Drommel_CreditText = Array<String>(kCreditLines);

void xq_Drommel_Init() {
  xq_Drommel_rawscrw = 640;
  xq_Drommel_rawscrh = 480;
  xq_Drommel_jscrw = 640;
  xq_Drommel_jscrh = 480;
  xq_Drommel_overscan = 0;
  xq_Drommel_DebugMode = 0;
  xq_Drommel_iCadeControls = 0;
  xq_Drommel_HasMusic = 0;
  xq_Drommel_HasMusicStream = 1;
  // Always exactly 50 lines, whatever the credits supply.
  xq_Drommel_CreditText = xq_Drommel_CreditLines().Resize(kCreditLines);
}
