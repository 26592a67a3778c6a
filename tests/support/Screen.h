// Pictures of X windows for tests that look at the real game: taken with ImageMagick's import under
// a time limit, after checking that the window still exists (import asks for a mouse click, and
// waits for ever, when it cannot find the window it was given).
#pragma once

#include <chrono>
#include <cstdlib>
#include <filesystem>
#include <string>
#include <utility>
#include <vector>

struct Rgb {
  int r = 0, g = 0, b = 0;
};

struct Picture {
  int width = 0;
  int height = 0;
  std::vector<unsigned char> pixels;  // RGB rows

  bool Empty() const { return width == 0; }
  // The colour at (x, y); black outside the picture.
  Rgb At(int x, int y) const;
};

inline bool Near(Rgb c, int r, int g, int b, int tolerance = 14) {
  return std::abs(c.r - r) <= tolerance && std::abs(c.g - g) <= tolerance &&
         std::abs(c.b - b) <= tolerance;
}

// How many of the points have about the given colour.
int CountNear(const Picture& p, const std::vector<std::pair<int, int>>& points, int r, int g, int b,
              int tolerance = 14);

// The window exists on the display (window is an id as xdotool prints it).
bool WindowExists(const std::string& window);

struct Shot {
  Picture picture;
  std::string error;  // why there is no picture: empty on success
};

// Saves the window's picture (window "root" for the whole screen) as file and reads it back.
Shot Capture(const std::string& window, const std::filesystem::path& file);
