// FreeType glyph rasterising into frame cells, and Cairo faces over the same font files.
#include "tools/assetgen/Glyphs.h"

#include <cairo-ft.h>
#include <ft2build.h>
#include FT_FREETYPE_H
#include FT_OUTLINE_H

#include <algorithm>
#include <cmath>

namespace assetgen {

namespace {

// One FreeType library for the process. Cairo may keep font faces cached past the Typeface that
// made them, so the library is never torn down; it stays reachable from here until exit.
FT_Library Library() {
  static FT_Library library = [] {
    FT_Library lib = nullptr;
    if (FT_Init_FreeType(&lib) != 0) lib = nullptr;
    return lib;
  }();
  return library;
}

const cairo_user_data_key_t kFaceKey{};

void DoneFace(void* face) {
  FT_Done_Face(static_cast<FT_Face>(face));
}

}  // namespace

struct Typeface::Impl {
  FT_Face face = nullptr;  // for bitmap glyphs; the Cairo face has its own
  ~Impl() {
    if (face) FT_Done_Face(face);
  }
};

Typeface::Typeface(std::unique_ptr<Impl> impl) : impl_(std::move(impl)) {}

Typeface::~Typeface() {
  if (cairoFace_) cairo_font_face_destroy(cairoFace_);
}

std::unique_ptr<Typeface> Typeface::Open(const std::string& path) {
  FT_Library lib = Library();
  if (!lib) return nullptr;
  auto impl = std::make_unique<Impl>();
  if (FT_New_Face(lib, path.c_str(), 0, &impl->face) != 0) {
    impl->face = nullptr;
    return nullptr;
  }
  FT_Face cairoFt = nullptr;
  if (FT_New_Face(lib, path.c_str(), 0, &cairoFt) != 0) return nullptr;
  cairo_font_face_t* cf = cairo_ft_font_face_create_for_ft_face(cairoFt, FT_LOAD_NO_HINTING);
  if (cairo_font_face_set_user_data(cf, &kFaceKey, cairoFt, DoneFace) != CAIRO_STATUS_SUCCESS) {
    cairo_font_face_destroy(cf);
    FT_Done_Face(cairoFt);
    return nullptr;
  }
  std::unique_ptr<Typeface> t(new Typeface(std::move(impl)));
  t->cairoFace_ = cf;
  return t;
}

bool Typeface::DrawGlyph(cairo_surface_t* target, int x, int y, int w, int h,
                         const GlyphStyle& style, std::uint32_t code) {
  FT_Face face = impl_->face;
  FT_UInt index = FT_Get_Char_Index(face, code);
  if (index == 0) return false;
  const FT_Int32 load = style.mono ? FT_LOAD_TARGET_MONO : FT_LOAD_TARGET_LIGHT;
  const int px = static_cast<int>(std::lround(style.pixelSize));

  // Load at the natural width first; a glyph wider than the ink allowance is loaded again at a
  // narrower horizontal size, so the hinter still sees the condensed outline.
  FT_Set_Pixel_Sizes(face, px, px);
  if (FT_Load_Glyph(face, index, load) != 0) return false;
  FT_BBox box;
  FT_Outline_Get_CBox(&face->glyph->outline, &box);
  double ink = (box.xMax - box.xMin) / 64.0;
  if (ink > style.maxInk && ink > 0) {
    int wpx = std::max(1, static_cast<int>(std::floor(px * style.maxInk / ink)));
    for (; wpx > 1; --wpx) {
      FT_Set_Pixel_Sizes(face, wpx, px);
      if (FT_Load_Glyph(face, index, load) != 0) return false;
      FT_Outline_Get_CBox(&face->glyph->outline, &box);
      if ((box.xMax - box.xMin) / 64.0 <= style.maxInk + 0.01) break;
    }
  }
  // Whole-pixel shift that puts the ink's centre on centreX.
  double centre = (box.xMin + box.xMax) / 128.0;
  FT_Pos shift = static_cast<FT_Pos>(std::lround(style.centreX - centre)) * 64;
  FT_Outline_Translate(&face->glyph->outline, shift, 0);
  if (FT_Render_Glyph(face->glyph, style.mono ? FT_RENDER_MODE_MONO : FT_RENDER_MODE_NORMAL) != 0)
    return false;

  const FT_Bitmap& bm = face->glyph->bitmap;
  cairo_surface_flush(target);
  unsigned char* data = cairo_image_surface_get_data(target);
  const int stride = cairo_image_surface_get_stride(target);
  const int left = x + face->glyph->bitmap_left;
  const int top = y + style.baseline - face->glyph->bitmap_top;
  for (unsigned row = 0; row < bm.rows; ++row) {
    int py = top + static_cast<int>(row);
    if (py < y || py >= y + h) continue;
    const unsigned char* src = bm.buffer + static_cast<long>(row) * bm.pitch;
    auto* dst = reinterpret_cast<std::uint32_t*>(data + static_cast<long>(py) * stride);
    for (unsigned col = 0; col < bm.width; ++col) {
      int pxl = left + static_cast<int>(col);
      if (pxl < x || pxl >= x + w) continue;
      unsigned a = style.mono ? ((src[col >> 3] >> (7 - (col & 7))) & 1) * 255u : src[col];
      if (style.boost && a > 0 && a < 255) {
        a = static_cast<unsigned>(std::lround(255.0 * std::pow(a / 255.0, 0.75)));
      }
      std::uint32_t old = dst[pxl] >> 24;
      a = std::max<std::uint32_t>(a, old);
      dst[pxl] = (a << 24) | (a << 16) | (a << 8) | a;
    }
  }
  cairo_surface_mark_dirty(target);
  return true;
}

void CentredTextPath(cairo_t* cr, cairo_font_face_t* face, const std::string& text, double cx,
                     double baseline, double size, double maxWidth) {
  cairo_save(cr);
  cairo_set_font_face(cr, face);
  cairo_set_font_size(cr, size);
  cairo_text_extents_t ext;
  cairo_text_extents(cr, text.c_str(), &ext);
  double squeeze = 1;
  if (maxWidth > 0 && ext.x_advance > maxWidth) squeeze = maxWidth / ext.x_advance;
  cairo_translate(cr, cx, baseline);
  cairo_scale(cr, squeeze, 1);
  cairo_move_to(cr, -ext.x_advance / 2, 0);
  cairo_text_path(cr, text.c_str());
  cairo_restore(cr);  // the path survives the restore, already in device space
}

}  // namespace assetgen
