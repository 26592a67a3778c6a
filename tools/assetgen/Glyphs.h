// Text for the asset generator, from a TrueType font of the system's font folder: single glyphs
// rasterised by FreeType into frame cells (the bitmap fonts), and Cairo font faces for the vector
// lettering of logos, menus and badges.
#pragma once

#include <cairo.h>

#include <cstdint>
#include <memory>
#include <string>

namespace assetgen {

// Where and how one glyph lands in its cell, in pixels of the target surface.
struct GlyphStyle {
  double pixelSize = 10;  // em size
  double maxInk = 6;      // widest ink; wider glyphs are condensed to fit
  double centreX = 8;     // x of the ink's centre, from the cell's left edge
  int baseline = 10;      // row of the baseline, from the cell's top edge
  bool mono = false;      // 1-bit rendering with full hinting: crisp at small sizes
  bool boost = false;     // firmer edges for small anti-aliased sizes (coverage ^ 0.75)
};

class Typeface {
 public:
  // Null when the file cannot be read as a font.
  static std::unique_ptr<Typeface> Open(const std::string& path);
  ~Typeface();
  Typeface(const Typeface&) = delete;
  Typeface& operator=(const Typeface&) = delete;

  // Draws character `code` in white into the cell (x, y, w, h) of an ARGB32 surface; nothing
  // outside the cell is touched. False when the font has no glyph for the code.
  bool DrawGlyph(cairo_surface_t* target, int x, int y, int w, int h, const GlyphStyle& style,
                 std::uint32_t code);

  // A Cairo face for vector text; owned by this Typeface.
  cairo_font_face_t* CairoFace() const { return cairoFace_; }

 private:
  struct Impl;
  explicit Typeface(std::unique_ptr<Impl> impl);
  std::unique_ptr<Impl> impl_;
  cairo_font_face_t* cairoFace_ = nullptr;
};

// Shapes `text` as a path in the current context with its baseline centred on (cx, baseline),
// `size` design units high, squeezed horizontally to at most `maxWidth` (0 = no limit).
void CentredTextPath(cairo_t* cr, cairo_font_face_t* face, const std::string& text, double cx,
                     double baseline, double size, double maxWidth = 0);

}  // namespace assetgen
