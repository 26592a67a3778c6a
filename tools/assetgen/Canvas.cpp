// Frame grids on Cairo image surfaces, PNG encoding and the small shape helpers shared by the art.
#include "tools/assetgen/Canvas.h"

#include <cmath>
#include <cstdio>
#include <filesystem>

namespace assetgen {

Rgb Hsv(double hue, double sat, double val) {
  double h = std::fmod(hue, 360.0);
  if (h < 0) h += 360.0;
  double c = val * sat;
  double x = c * (1 - std::fabs(std::fmod(h / 60.0, 2.0) - 1));
  double m = val - c;
  double r = 0, g = 0, b = 0;
  if (h < 60) {
    r = c, g = x;
  } else if (h < 120) {
    r = x, g = c;
  } else if (h < 180) {
    g = c, b = x;
  } else if (h < 240) {
    g = x, b = c;
  } else if (h < 300) {
    r = x, b = c;
  } else {
    r = c, b = x;
  }
  return {r + m, g + m, b + m};
}

Rgb Mix(Rgb a, Rgb b, double t) {
  return {a.r + (b.r - a.r) * t, a.g + (b.g - a.g) * t, a.b + (b.b - a.b) * t};
}

FrameScope::FrameScope(cairo_t* cr, double x, double y, double w, double h, double scale)
    : cr_(cr) {
  cairo_save(cr_);
  cairo_rectangle(cr_, x, y, w, h);
  cairo_clip(cr_);
  cairo_translate(cr_, x, y);
  cairo_scale(cr_, scale, scale);
  cairo_new_path(cr_);
}

FrameScope::~FrameScope() {
  cairo_new_path(cr_);
  cairo_restore(cr_);
}

Canvas::Canvas(int frameW, int frameH, int frames, int columns, int level)
    : frameW_(frameW), frameH_(frameH), frames_(frames), columns_(columns), level_(level) {
  int rows = (frames + columns - 1) / columns;
  surface_.reset(cairo_image_surface_create(CAIRO_FORMAT_ARGB32, frameW * columns * level,
                                            frameH * rows * level));
  cr_.reset(cairo_create(surface_.get()));
  cairo_set_line_join(cr_.get(), CAIRO_LINE_JOIN_ROUND);
  cairo_set_line_cap(cr_.get(), CAIRO_LINE_CAP_ROUND);
}

FrameScope Canvas::Frame(int index) {
  return FrameScope(cr_.get(), FrameX(index), FrameY(index), frameW_ * level_, frameH_ * level_,
                    level_);
}

static cairo_status_t AppendBytes(void* closure, const unsigned char* data, unsigned int length) {
  auto* out = static_cast<std::vector<std::uint8_t>*>(closure);
  out->insert(out->end(), data, data + length);
  return CAIRO_STATUS_SUCCESS;
}

std::vector<std::uint8_t> Canvas::EncodePng() const {
  std::vector<std::uint8_t> bytes;
  cairo_surface_flush(surface_.get());
  if (cairo_surface_write_to_png_stream(surface_.get(), AppendBytes, &bytes) !=
      CAIRO_STATUS_SUCCESS) {
    bytes.clear();
  }
  return bytes;
}

bool WriteFile(const std::string& path, const std::vector<std::uint8_t>& bytes) {
  std::error_code ec;
  std::filesystem::create_directories(std::filesystem::path(path).parent_path(), ec);
  std::FILE* f = std::fopen(path.c_str(), "wb");
  if (!f) return false;
  bool ok = std::fwrite(bytes.data(), 1, bytes.size(), f) == bytes.size();
  return std::fclose(f) == 0 && ok;
}

void RoundedRect(cairo_t* cr, double x, double y, double w, double h, double r) {
  cairo_new_sub_path(cr);
  cairo_arc(cr, x + w - r, y + r, r, -M_PI / 2, 0);
  cairo_arc(cr, x + w - r, y + h - r, r, 0, M_PI / 2);
  cairo_arc(cr, x + r, y + h - r, r, M_PI / 2, M_PI);
  cairo_arc(cr, x + r, y + r, r, M_PI, 1.5 * M_PI);
  cairo_close_path(cr);
}

void Circle(cairo_t* cr, double cx, double cy, double r) {
  cairo_new_sub_path(cr);
  cairo_arc(cr, cx, cy, r, 0, 2 * M_PI);
  cairo_close_path(cr);
}

void StarPath(cairo_t* cr, double cx, double cy, int points, double ro, double ri, double turn) {
  cairo_new_sub_path(cr);
  for (int i = 0; i < points * 2; ++i) {
    double a = turn + M_PI * i / points - M_PI / 2;
    double r = (i % 2 == 0) ? ro : ri;
    cairo_line_to(cr, cx + r * std::cos(a), cy + r * std::sin(a));
  }
  cairo_close_path(cr);
}

void FillGloss(cairo_t* cr, Rgb base, double cx, double cy, double r, double alpha) {
  PatternPtr p(cairo_pattern_create_radial(cx - r * 0.35, cy - r * 0.4, r * 0.05, cx, cy, r));
  Rgb light = Mix(base, {1, 1, 1}, 0.55);
  Rgb dark = Mix(base, {0, 0, 0}, 0.35);
  cairo_pattern_add_color_stop_rgba(p.get(), 0, light.r, light.g, light.b, alpha);
  cairo_pattern_add_color_stop_rgba(p.get(), 0.55, base.r, base.g, base.b, alpha);
  cairo_pattern_add_color_stop_rgba(p.get(), 1, dark.r, dark.g, dark.b, alpha);
  cairo_set_source(cr, p.get());
  cairo_fill_preserve(cr);
}

}  // namespace assetgen
