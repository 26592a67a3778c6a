// The application icons: a rounded tile of the play field (night sky, the green ground line, the
// dark ground with one spike reflection) with the player ball in front, drawn in a 64-unit square
// and rendered at each size on its own so that every file is sharp.
#include "tools/assetgen/Icons.h"

#include "tools/assetgen/Art.h"
#include "tools/assetgen/Canvas.h"

namespace assetgen {

namespace {

constexpr double kUnits = 64;       // design square
constexpr double kGroundY = 41;     // top of the ground line
constexpr double kLineWidth = 2.6;  // the green ground line

// The tile is a rounded square with a small margin, as icon themes expect; full bleed, it is the
// whole square, and everything on it is drawn at 80 % about the middle, where launchers that cut
// icons to their own shape keep it.
void PaintIcon(cairo_t* cr, bool fullBleed) {
  if (fullBleed) {
    cairo_rectangle(cr, 0, 0, kUnits, kUnits);
    cairo_translate(cr, kUnits / 2, kUnits / 2);
    cairo_scale(cr, 0.8, 0.8);
    cairo_translate(cr, -kUnits / 2, -kUnits / 2);
  } else {
    RoundedRect(cr, 2, 2, 60, 60, 11);
  }
  cairo_save(cr);
  cairo_clip_preserve(cr);
  PatternPtr sky(cairo_pattern_create_linear(0, 2, 0, kGroundY));
  cairo_pattern_add_color_stop_rgb(sky.get(), 0, 0.0, 0.03, 0.24);
  cairo_pattern_add_color_stop_rgb(sky.get(), 1, 0.02, 0.09, 0.40);
  cairo_set_source(cr, sky.get());
  cairo_fill(cr);
  // Ground and line reach past the square on both sides: the clip ends them at the tile's edge.
  cairo_rectangle(cr, -kUnits, kGroundY, 3 * kUnits, 2 * kUnits);
  SetColor(cr, Rgb255(92, 0, 0));
  cairo_fill(cr);
  cairo_rectangle(cr, -kUnits, kGroundY, 3 * kUnits, kLineWidth);
  SetColor(cr, Rgb255(100, 255, 100));
  cairo_fill(cr);
  // A few stars, fixed places.
  const double stars[][3] = {{10, 10, 0.9}, {50, 8, 0.7},  {55, 24, 1.0}, {8, 31, 0.6},
                             {42, 33, 0.6}, {14, 53, 0.5}, {30, 57, 0.5}};
  for (const auto& s : stars) {
    Circle(cr, s[0], s[1], s[2]);
    SetColor(cr, {1, 1, 1}, 0.85);
    cairo_fill(cr);
  }
  // One spike reflection under the ground, ahead of the ball.
  cairo_save(cr);
  cairo_translate(cr, 47, 52);
  cairo_scale(cr, 0.62, 0.62);
  cairo_translate(cr, -16, -16);
  PaintSpike(cr, 0);
  cairo_restore(cr);
  cairo_restore(cr);
  if (!fullBleed) {  // the tile's rim
    RoundedRect(cr, 2.5, 2.5, 59, 59, 10.5);
    SetColor(cr, Rgb255(24, 10, 40));
    cairo_set_line_width(cr, 1);
    cairo_stroke(cr);
  }
  // The ball, large, above the ground; it may overlap the rim a little like a sticker.
  cairo_save(cr);
  cairo_translate(cr, 27, 21.5);
  cairo_scale(cr, 1.4, 1.4);
  cairo_translate(cr, -16, -16);
  PaintBall(cr);
  cairo_restore(cr);
}

// Renders the icon at an edge length and writes it as a PNG file.
bool WriteIcon(const std::string& path, int size, bool fullBleed, std::string* error) {
  Canvas canvas(size, size, 1, 1, 1);
  {
    auto frame = canvas.Frame(0);
    cairo_scale(frame, size / kUnits, size / kUnits);
    PaintIcon(frame, fullBleed);
  }
  const std::vector<std::uint8_t> png = canvas.EncodePng();
  if (png.empty() || !WriteFile(path, png)) {
    if (error) *error = "cannot write " + path;
    return false;
  }
  return true;
}

}  // namespace

bool WriteIcons(const std::string& dir, const std::string& name, std::string* error) {
  for (int size : kIconSizes) {
    const std::string edge = std::to_string(size);
    if (!WriteIcon(dir + "/" + edge + "x" + edge + "/apps/" + name + ".png", size, false, error))
      return false;
  }
  return true;
}

bool WriteWebIcons(const std::string& dir, std::string* error) {
  return WriteIcon(dir + "/icon-192.png", 192, false, error) &&
         WriteIcon(dir + "/icon-512.png", 512, false, error) &&
         WriteIcon(dir + "/icon-maskable-512.png", 512, true, error) &&
         WriteIcon(dir + "/apple-touch-icon.png", 180, true, error);
}

}  // namespace assetgen
