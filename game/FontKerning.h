// The game font's kerning: the extra advance of a character (wider w/m, narrower i/l...). The
// game lays out text with it and the asset generator lays out its sample lines with it, so both
// include this one table.
#pragma once

// Extra advance, in design pixels, of character c in the game font.
inline int GameFontKerning(int c) {
  switch (c) {
    case 'w':
    case 'm':
      return 2;
    case 'W':
    case 'M':
      return 1;
    case 'i':
    case 'f':
    case 'l':
      return -3;
    case 'j':
    case 's':
    case 'k':
    case 'r':
    case 'z':
    case 't':
    case 'n':
      return -1;
    default:
      return 0;
  }
}
