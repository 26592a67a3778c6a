// Drawing surfaces for the asset generator: a Canvas is one PNG file being drawn, a grid of
// equally sized frames at one resolution level (1, 2 or 4 pixels per design unit).
//
// Use: make a Canvas, call Frame(i) to get a Cairo context that is clipped to frame i and scaled so
// that one unit is one design pixel, draw, and let the FrameScope go; then EncodePng gives the file.
#pragma once

#include <cairo.h>

#include <cstdint>
#include <memory>
#include <string>
#include <vector>

namespace assetgen {

struct CairoDeleter {
  void operator()(cairo_t* cr) const { cairo_destroy(cr); }
  void operator()(cairo_surface_t* s) const { cairo_surface_destroy(s); }
  void operator()(cairo_pattern_t* p) const { cairo_pattern_destroy(p); }
};
using CairoPtr = std::unique_ptr<cairo_t, CairoDeleter>;
using SurfacePtr = std::unique_ptr<cairo_surface_t, CairoDeleter>;
using PatternPtr = std::unique_ptr<cairo_pattern_t, CairoDeleter>;

struct Rgb {
  double r = 1, g = 1, b = 1;
};

// Colour from 0-255 components.
inline Rgb Rgb255(int r, int g, int b) {
  return {r / 255.0, g / 255.0, b / 255.0};
}
// Colour from hue in degrees, saturation and value 0-1.
Rgb Hsv(double hue, double sat, double val);
Rgb Mix(Rgb a, Rgb b, double t);
inline void SetColor(cairo_t* cr, Rgb c, double alpha = 1) {
  cairo_set_source_rgba(cr, c.r, c.g, c.b, alpha);
}

// A cairo context positioned on one frame; restores the context when it goes.
class FrameScope {
 public:
  FrameScope(cairo_t* cr, double x, double y, double w, double h, double scale);
  ~FrameScope();
  FrameScope(const FrameScope&) = delete;
  FrameScope& operator=(const FrameScope&) = delete;
  cairo_t* get() const { return cr_; }
  operator cairo_t*() const { return cr_; }

 private:
  cairo_t* cr_;
};

class Canvas {
 public:
  // frameW x frameH design pixels per frame, `columns` frames per row.
  Canvas(int frameW, int frameH, int frames, int columns, int level);

  int level() const { return level_; }
  int frames() const { return frames_; }
  int width() const { return cairo_image_surface_get_width(surface_.get()); }
  int height() const { return cairo_image_surface_get_height(surface_.get()); }
  cairo_surface_t* surface() const { return surface_.get(); }
  cairo_t* context() const { return cr_.get(); }

  FrameScope Frame(int index);
  // Pixel rectangle of frame `index` in the surface.
  int FrameX(int index) const { return (index % columns_) * frameW_ * level_; }
  int FrameY(int index) const { return (index / columns_) * frameH_ * level_; }

  // Encodes the surface as PNG; empty on failure.
  std::vector<std::uint8_t> EncodePng() const;

 private:
  int frameW_, frameH_, frames_, columns_, level_;
  SurfacePtr surface_;
  CairoPtr cr_;
};

// Writes bytes to a file, creating its folders; false on failure.
bool WriteFile(const std::string& path, const std::vector<std::uint8_t>& bytes);

// Common drawing helpers, all in design units of the current context.
void RoundedRect(cairo_t* cr, double x, double y, double w, double h, double r);
void Circle(cairo_t* cr, double cx, double cy, double r);
// A regular star or polygon path: `points` tips, outer radius ro, inner radius ri.
void StarPath(cairo_t* cr, double cx, double cy, int points, double ro, double ri, double turn);
// Radial gloss: fills the current path with a light-to-dark gradient of `base` lit from top left.
void FillGloss(cairo_t* cr, Rgb base, double cx, double cy, double r, double alpha = 1);

}  // namespace assetgen
