// The lines of the credits box: role headings, each followed by what is credited under it.
//
// The box scrolls through the first 49 lines and then starts again, so the last line is never
// shown; it is left empty, and the blank lines before it make a pause before the loop starts again.
// Lines stay within the game font (codes 32-126 here) and at most 22 characters, so that they sit
// inside the test-card picture.
#include <iterator>

#include "game/Globals.h"

Array<String> xq_Drommel_CreditLines() {
  static const char* const kLines[] = {
      "- DROMMEL -",
      "A ball, some spikes",
      "and their reflections",
      "",
      "Hold a key to run,",
      "let go before a spike",
      "",
      "- GAME -",
      "Idea and rules",
      "  the Drommel team",
      "",
      "- CODE -",
      "Game and framework",
      "  the Drommel team",
      "Windows: GLFW",
      "Drawing: OpenGL, Mesa",
      "Sound: OpenAL Soft",
      "Images: stb_image",
      "Ogg: stb_vorbis",
      "  by Sean Barrett",
      "",
      "- GRAPHICS -",
      "Sprites and icons",
      "  the Drommel team",
      "Painted with Cairo",
      "",
      "- SOUND -",
      "Effects and jingles",
      "  the Drommel team",
      "Mixed by OpenAL Soft",
      "",
      "- FONT -",
      "DejaVu Sans Mono Bold",
      "Rasterised: FreeType",
      "",
      "- THANKS -",
      "GoogleTest",
      "Google Benchmark",
      "Debian and its",
      "  package maintainers",
      "Xvfb and xdotool",
      "  for the playtests",
      "",
      "and you, for playing!",
      "",
      "",
      "",
      "",
      "",
      "",
  };
  static_assert(std::size(kLines) == kCreditLines);
  Array<String> lines(kCreditLines);
  for (int i = 0; i < kCreditLines; ++i) lines[i] = String(kLines[i]);
  return lines;
}
