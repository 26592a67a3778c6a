// The lines of the credits box: role headings, each followed by what is credited under it.
//
// The box scrolls through the first 49 lines and then starts again, so the last line is never
// shown; it is left empty. Lines stay within the game font (codes 32-126 here) and short enough to
// sit inside the test-card picture.
#include <iterator>

#include "game/Globals.h"

Array<String> xq_Drommel_CreditLines() {
  static const char* const kLines[] = {
      "- DROMMEL -",
      "A ball, a row of spikes",
      "and only their reflections",
      "",
      "- GAME -",
      "Idea, rules and levels",
      "  the Drommel team",
      "",
      "- CODE -",
      "Game and framework",
      "  the Drommel team",
      "Window and input: GLFW",
      "Drawing: OpenGL on Mesa",
      "Sound output: OpenAL Soft",
      "PNG decoding: stb_image",
      "Ogg decoding: stb_vorbis",
      "  both by Sean Barrett",
      "",
      "- GRAPHICS -",
      "Sprites, icons and logo",
      "  the Drommel team",
      "Painted with Cairo",
      "",
      "- SOUND -",
      "Effects and jingles",
      "  the Drommel team",
      "Mixed by OpenAL Soft",
      "",
      "- FONT -",
      "Game font drawn from",
      "  DejaVu Sans Mono Bold",
      "Rasterised with FreeType",
      "",
      "- THANKS -",
      "GoogleTest for the tests",
      "Google Benchmark",
      "  for the timings",
      "Debian for the system",
      "  and every package",
      "Xvfb and xdotool for",
      "  the unattended playtests",
      "Everyone who keeps these",
      "  libraries free",
      "",
      "and you, for playing!",
      "",
      "Hold a direction to run,",
      "let go before a spike.",
      "",
      "",
  };
  static_assert(std::size(kLines) == kCreditLines);
  Array<String> lines(kCreditLines);
  for (int i = 0; i < kCreditLines; ++i) lines[i] = String(kLines[i]);
  return lines;
}
