// Contact sheets for looking at the data folder with a player's eye. For one resolution level it
// writes two PNGs: every image of that level on the sky colour with its frame grid marked, and
// six mock screens of the game (loading, menu, play, death, pause, options with small text) built
// the way the game draws them: 640 x 480 units at `level` pixels per unit, images scaled by
// 1 / level, tinted by multiplying, text laid out with the game's advance, line height and kerning.
#include <algorithm>
#include <cmath>
#include <cstdint>
#include <map>
#include <string>
#include <vector>

#include "tools/assetgen/Art.h"
#include "tools/assetgen/Assets.h"
#include "tools/assetgen/Canvas.h"
#include "tools/assetgen/Glyphs.h"

namespace assetgen {

namespace {

const char* const kLabelFontPath = "/usr/share/fonts/truetype/dejavu/DejaVuSans-Bold.ttf";

struct Sprite {
  SurfacePtr surface;
  int frameW = 0, frameH = 0, columns = 1, frames = 0;
};

using SpriteMap = std::map<std::string, Sprite>;

// A mock game screen: virtual units to pixels, and the game's drawing operations.
class Screen {
 public:
  Screen(cairo_t* cr, double ox, double oy, int level, const SpriteMap& sprites)
      : cr_(cr), ox_(ox), oy_(oy), level_(level), sprites_(sprites) {}

  void Rect(double x, double y, double w, double h, Rgb c, double a) {
    cairo_rectangle(cr_, X(x), Y(y), w * level_, h * level_);
    SetColor(cr_, c, a);
    cairo_fill(cr_);
  }
  void Oval(double x, double y, double rx, double ry, Rgb c, double a) {
    cairo_save(cr_);
    cairo_translate(cr_, X(x), Y(y));
    cairo_scale(cr_, rx * level_, ry * level_);
    Circle(cr_, 0, 0, 1);
    cairo_restore(cr_);
    SetColor(cr_, c, a);
    cairo_fill(cr_);
  }
  // One frame with its handle in the middle, like every image the game loads.
  void Image(const std::string& name, int frame, double x, double y, double sx, double sy,
             double rotation = 0, Rgb tint = {1, 1, 1}, double alpha = 1) {
    auto it = sprites_.find(name);
    if (it == sprites_.end() || frame < 0 || frame >= it->second.frames) return;
    const Sprite& sp = it->second;
    const int fw = sp.frameW * level_, fh = sp.frameH * level_;
    const int fx = (frame % sp.columns) * fw, fy = (frame / sp.columns) * fh;
    // Tinting multiplies every channel, as the renderer's vertex colour does.
    SurfacePtr copy(cairo_image_surface_create(CAIRO_FORMAT_ARGB32, fw, fh));
    cairo_surface_flush(sp.surface.get());
    const unsigned char* src = cairo_image_surface_get_data(sp.surface.get());
    const int sstride = cairo_image_surface_get_stride(sp.surface.get());
    unsigned char* dst = cairo_image_surface_get_data(copy.get());
    const int dstride = cairo_image_surface_get_stride(copy.get());
    for (int row = 0; row < fh; ++row) {
      auto* s = reinterpret_cast<const std::uint32_t*>(src + (fy + row) * sstride) + fx;
      auto* d = reinterpret_cast<std::uint32_t*>(dst + row * dstride);
      for (int col = 0; col < fw; ++col) {
        std::uint32_t p = s[col];
        auto ch = [&](int shift, double f) {
          return static_cast<std::uint32_t>(std::lround(((p >> shift) & 255) * f)) << shift;
        };
        d[col] = (p & 0xff000000u) | ch(16, tint.r) | ch(8, tint.g) | ch(0, tint.b);
      }
    }
    cairo_surface_mark_dirty(copy.get());
    cairo_save(cr_);
    cairo_translate(cr_, X(x), Y(y));
    cairo_rotate(cr_, -rotation * M_PI / 180);
    cairo_scale(cr_, sx, sy);
    cairo_set_source_surface(cr_, copy.get(), -fw / 2.0, -fh / 2.0);
    cairo_pattern_set_filter(cairo_get_source(cr_), CAIRO_FILTER_BILINEAR);
    cairo_paint_with_alpha(cr_, alpha);
    cairo_restore(cr_);
  }
  // The game's text layout (rotation 0): advance 7 + kerning, line height 10, glyphs centred on
  // the pen, "\n" (backslash, n) breaks the line.
  void Text(double x, double y, const std::string& text, double alignX, double alignY, double scale,
            Rgb c, double a) {
    const double G = 7, L = 10;
    double W = 0;
    for (char ch : text) W = std::trunc(W + (G + TextKerning(ch)) * scale);
    const double startX = x - W * alignX / 2, startY = y - L * scale * (alignY - 1) / 2;
    double px = std::trunc(startX), py = std::trunc(startY);
    const std::string t = text + " ";
    int line = 0;
    for (std::size_t i = 0; i < t.size(); ++i) {
      int ch = static_cast<unsigned char>(t[i]);
      if (ch == '\\' && i + 1 < t.size() && t[i + 1] == 'n') {
        ++i;
        ++line;
        px = std::trunc(startX);
        py = std::trunc(startY + line * L * scale);
        continue;
      }
      if (ch >= 33 && ch <= 159) Image(kTextFontName, ch - 32, px, py, scale, scale, 0, c, a);
      if (ch != 0) px = std::trunc(px + (G + TextKerning(ch)) * scale);
    }
  }

 private:
  double X(double v) const { return ox_ + v * level_; }
  double Y(double v) const { return oy_ + v * level_; }
  cairo_t* cr_;
  double ox_, oy_;
  int level_;
  const SpriteMap& sprites_;
};

const Rgb kSky = Rgb255(0, 0, 80);
const Rgb kGround = Rgb255(80, 0, 0);
const Rgb kLine = Rgb255(100, 255, 100);

void Stars(Screen& s, std::uint32_t seed) {
  std::uint32_t state = seed;
  auto rnd = [&] {
    state = state * 1664525u + 1013904223u;
    return (state >> 8) / 16777216.0;
  };
  for (int i = 0; i <= 100; ++i) {
    int frame = static_cast<int>(rnd() * 255.99);
    double x = rnd() * 656 - 8, y = rnd() * 496 - 8, depth = rnd() * 0.6 + 0.2;
    s.Image("parts", frame, x, y, 1, 1, 0, {1, 1, 1}, depth);
  }
}

// Play: ground, stars, the ball mid-bounce, three spike reflections, score and bar. With
// `dead` the spike points are shown too.
void PlayScreen(Screen& s, bool dead) {
  s.Rect(0, 0, 640, 480, kSky, 1);
  const double u = 40, sc = u / 32, groundY = 236;
  s.Rect(-64, groundY, 704, 480, kGround, 1);
  s.Rect(-64, groundY, 704, 8, kLine, 1);
  Stars(s, 11);
  const double phase = dead ? 12 : 50;
  const double ballY = 240 - std::fabs(4.5 * u * std::sin(phase * M_PI / 180)) - u / 2;
  const double ballX = dead ? 40 : 32;
  s.Image("world001", 0, ballX, ballY, sc, sc);
  const int heights[4] = {1, 4, 7, 9};
  for (int n = 0; n < 4; ++n) {
    double x = (dead ? 40 : 150) + 170 * n;
    int h = heights[n];
    if (dead) s.Image("world001", h + 10, x, std::trunc(groundY - u / 2 - h * u / 2), sc, sc);
    s.Image("world001", h + 10, x, std::trunc(groundY + 8 + u / 2 + h * u / 2), sc, sc);
  }
  if (!dead) {
    const Rgb inks[3] = {Rgb255(255, 25, 25), Rgb255(25, 255, 255), Rgb255(255, 128, 25)};
    for (int i = 0; i < 12; ++i) {
      s.Image("parts", i * 21 + 3, 90 + i * 9, 120 + (i % 4) * 11, 1, 1, i * 30, inks[i % 3], 0.9);
    }
    s.Text(420, 150, "16", 1, 1, 3, Rgb255(255, 255, 25), 0.8);
  }
  s.Text(320, 16, "00001234", 1, 1, 2, kLine, 0.8);
  s.Rect(320 - 182, 30, 364, 20, kLine, 1);
  s.Rect(320 - 180, 32, 360, 16, Rgb255(0, 80, 0), 1);
  s.Rect(320 - 2 * 60, 32, 4 * 60, 16, kLine, 1);
  s.Image("common/icons", 0, 16, 16, 1, 1);
  if (dead) {  // game over overlay at step 60
    s.Rect(-1, -1, 642, 482, {0, 0, 0}, 0.7);
    double e = 216;
    s.Rect(-1, 480 * 0.45 - 8, 2 * e, 16, Rgb255(255, 255, 0), 0.5);
    s.Rect(640 - 2 * e, 480 * 0.55 - 8, 2 * e + 1, 16, Rgb255(255, 128, 0), 0.5);
    s.Text(640 * 0.35, e, "GAME", 1, 1, 4, Rgb255(255, 180, 180), 1);
    s.Text(640 * 0.65, 480 - e, "OVER", 1, 1, 4, Rgb255(255, 180, 180), 1);
    s.Rect(640 * 0.35, 480 - e / 1.5 - 16, 640 * 0.3, 32, Rgb255(0, 125, 255), 0.5);
    s.Text(320, 480 - e / 1.5, "New Highscore\\n           1st!", 0.5, 2, 2, Rgb255(100, 255, 100),
           1);
  }
}

void LoadingScreen(Screen& s) {
  s.Rect(0, 0, 640, 480, Rgb255(40, 40, 80), 1);
  const double size = 480, spin = 160;
  for (int i = 0; i <= 10; ++i) {
    double a = (spin + 180 + 16 * i) * M_PI / 180;
    s.Oval(std::sin(a) * size / 4 + 320, 240 - std::cos(a) * size / 4, 8, 8, Rgb255(250, 250, 250),
           i / 10.0);
  }
  s.Oval(320, 240, size * 0.3, size * 0.3, Rgb255(255, 255, 0), 0.8);
  s.Rect(0, 480 * 0.4, 640, 480 * 0.2, Rgb255(250, 160, 60), 0.7);
  s.Image("common/QELDLogo", 0, 320, 480 * 0.48, 1, 1);
  for (int i = 0; i <= 10; ++i) {
    double a = (spin + 16 * i) * M_PI / 180;
    s.Oval(std::sin(a) * size / 4 + 320, 240 - std::cos(a) * size / 4, 8, 8, Rgb255(50, 50, 50),
           i / 10.0);
  }
}

void Gear(Screen& s, double x, double y, double scale, double angle, double alpha) {
  s.Image("common/Buttons", 8, x, y, scale, scale, angle * 0.66, {1, 1, 1}, alpha);
  s.Image("common/Buttons", 9, x, y, scale, scale, -angle * 0.33, {1, 1, 1}, alpha);
  s.Image("common/Buttons", 10, x, y, scale, scale, -angle, {1, 1, 1}, alpha);
}

void MenuScreen(Screen& s) {
  s.Rect(0, 0, 640, 480, kSky, 1);
  s.Image("logo", 0, 640 * 0.4, 480 * 0.2, 1.5, 1.5);
  const double panel = 640 - 140;
  s.Rect(panel, 0, 140, 480, {0, 0, 0}, 0.4);
  std::string best = "Top 10", last = "Last 10";
  const int scores[10] = {48210, 30512, 12004, 9876, 5120, 2048, 1001, 512, 64, 9};
  for (int i = 0; i < 10; ++i) {
    std::string n = std::to_string(scores[i]);
    best += "\\n" + std::string(11 - n.size(), ' ') + n;
    std::string m = std::to_string(scores[(i * 3) % 10]);
    last += "\\n" + std::string(11 - m.size(), ' ') + m;
  }
  s.Text(panel + 20, 60, best, 0, 0, 1.5, Rgb255(255, 200, 100), 1);
  s.Text(panel + 20, 260, last, 0, 0, 1.5, Rgb255(200, 255, 100), 1);
  s.Image("common/Buttons", 0, 250, 312, 1.75, 1.75);
  Gear(s, 338, 312, 1, 30, 0.82);
  s.Image("common/icons", 3, 570, 432, 3, 2.5, 0, kLine, 0.3);
  s.Image("common/QELDLogo", 0, 570, 32, 0.35, 0.35);
}

void PauseScreen(Screen& s) {
  PlayScreen(s, false);
  s.Rect(0, 0, 640, 480, {0, 0, 0}, 240 / (0.8 * 480));
  const double y = 240;
  s.Rect(320 - 128, y - 64, 256, 8, Rgb255(255, 255, 10), 0.6);
  s.Rect(320 - 140, y - 52, 280, 104, Rgb255(255, 150, 10), 0.7);
  s.Rect(320 - 128, y + 56, 256, 8, Rgb255(10, 150, 255), 0.6);
  s.Image("common/icons", 3, 320, y, 2, 2, 0, Rgb255(50, 50, 250));
  s.Image("common/icons", 1, 180, y - 64, 2, 2, 0, Rgb255(255, 50, 50));
  Gear(s, 460, y - 64, 1, 20, 1);
  s.Image("common/icons", 6, 320, y, 2.5, 2.5, 0, Rgb255(255, 255, 100));
}

// The options box over the menu, with credit lines at scale 1 to judge small text.
void OptionsScreen(Screen& s) {
  s.Rect(0, 0, 640, 480, kSky, 1);
  s.Rect(50, 0, 540, 480, Rgb255(150, 75, 0), 0.85);
  Gear(s, 100, 60, 2, 45, 1);
  s.Text(176, 60, "<[BACK]", 0, 1, 2, {1, 1, 1}, 1);
  const char* rows[3] = {"Sound : SFX + Music", "iCade : Off", "Fullscreen"};
  for (int i = 0; i < 3; ++i) {
    double y = 130 + 40 * i;
    s.Rect(84, y - 2, 640 - 168, 24, i == 0 ? Rgb255(0, 180, 255) : Rgb255(0, 0, 160), 0.5);
    s.Text(100, y, rows[i], 0, 0, 2, {1, 1, 1}, 1);
  }
  s.Rect(640 - 264 - 16, 250 - 2, 180, 24, Rgb255(0, 0, 160), 0.5);
  s.Text(640 - 264, 250, "Credits", 0, 0, 2, {1, 1, 1}, 1);
  const char* lines[8] = {"Game design, code and art: QELD",
                          "Sound: synthesised for Drommel",
                          "Font: DejaVu Sans Bold (Bitstream Vera licence)",
                          "The quick brown fox jumps over the lazy dog.",
                          "THE QUICK BROWN FOX JUMPS OVER THE LAZY DOG!",
                          "0123456789 +-*/=<>()[]{} #$%&@ ?!.,:;'\"~^_|",
                          "Thanks: everyone who played the early builds",
                          "mmm www MMM WWW iii lll fff jjj sss kkk rrr zzz ttt nnn"};
  for (int i = 0; i < 8; ++i) s.Text(70, 300 + 16 * i, lines[i], 0, 1, 1, {1, 1, 1}, 1);
  s.Text(16, 480 - 16, "60:1.0,1.0", 0, 0, 1, {1, 1, 1}, 1);
}

SurfacePtr LoadPng(const std::string& path) {
  SurfacePtr s(cairo_image_surface_create_from_png(path.c_str()));
  if (cairo_surface_status(s.get()) != CAIRO_STATUS_SUCCESS) return nullptr;
  return s;
}

bool Save(cairo_surface_t* surface, const std::string& path) {
  return cairo_surface_write_to_png(surface, path.c_str()) == CAIRO_STATUS_SUCCESS;
}

}  // namespace

bool WriteContactSheet(const std::string& dataDir, int level, const std::string& outPng,
                       std::string* error) {
  auto fail = [&](const std::string& message) {
    if (error) *error = message;
    return false;
  };
  auto label = Typeface::Open(kLabelFontPath);
  if (!label) return fail(std::string("cannot read ") + kLabelFontPath);

  SpriteMap sprites;
  for (const ImageAsset& a : ImageAssets()) {
    std::string path = dataDir + "/" + a.name + LevelSuffix(level) + ".png";
    Sprite sp;
    sp.surface = LoadPng(path);
    if (!sp.surface) return fail("cannot read " + path);
    sp.frameW = a.frameW, sp.frameH = a.frameH, sp.columns = a.columns, sp.frames = a.frames;
    sprites[a.name] = std::move(sp);
  }
  SurfacePtr defaultFont = LoadPng(dataDir + "/" + kDefaultFontName);
  if (!defaultFont) return fail("cannot read " + dataDir + "/" + kDefaultFontName);

  // Sheet 1: the images, flowed into rows.
  const int L = level, gap = 24 * L, labelH = 22 * L, maxW = 1100 * L;
  struct Place {
    std::string name;
    cairo_surface_t* surface;
    int x, y, frameW, frameH;
  };
  std::vector<Place> places;
  int x = gap, y = gap, rowH = 0, width = 0;
  auto add = [&](const std::string& name, cairo_surface_t* surf, int fw, int fh) {
    int w = cairo_image_surface_get_width(surf), h = cairo_image_surface_get_height(surf);
    if (x > gap && x + w > maxW) {
      x = gap;
      y += rowH + gap;
      rowH = 0;
    }
    places.push_back({name, surf, x, y + labelH, fw, fh});
    x += std::max(w, 180 * L) + gap;
    rowH = std::max(rowH, h + labelH);
    width = std::max(width, x);
  };
  for (const ImageAsset& a : ImageAssets()) {
    add(std::string(a.name) + LevelSuffix(level), sprites[a.name].surface.get(), a.frameW * L,
        a.frameH * L);
  }
  add(kDefaultFontName, defaultFont.get(), kDefaultFontCellW, kDefaultFontCellH);
  const int height = y + rowH + gap;
  SurfacePtr sheet(cairo_image_surface_create(CAIRO_FORMAT_ARGB32, width, height));
  CairoPtr cr(cairo_create(sheet.get()));
  cairo_set_source_rgb(cr.get(), 0.16, 0.16, 0.18);
  cairo_paint(cr.get());
  for (const Place& p : places) {
    int w = cairo_image_surface_get_width(p.surface), h = cairo_image_surface_get_height(p.surface);
    cairo_rectangle(cr.get(), p.x, p.y, w, h);
    SetColor(cr.get(), kSky);
    cairo_fill(cr.get());
    cairo_set_source_surface(cr.get(), p.surface, p.x, p.y);
    cairo_paint(cr.get());
    // Frame grid.
    cairo_set_line_width(cr.get(), 1);
    for (int gx = 0; gx <= w; gx += p.frameW) {
      cairo_move_to(cr.get(), p.x + gx + 0.5, p.y);
      cairo_line_to(cr.get(), p.x + gx + 0.5, p.y + h);
    }
    for (int gy = 0; gy <= h; gy += p.frameH) {
      cairo_move_to(cr.get(), p.x, p.y + gy + 0.5);
      cairo_line_to(cr.get(), p.x + w, p.y + gy + 0.5);
    }
    cairo_set_source_rgba(cr.get(), 1, 1, 1, 0.12);
    cairo_stroke(cr.get());
    std::string text = p.name + "  " + std::to_string(w) + "x" + std::to_string(h);
    cairo_set_font_face(cr.get(), label->CairoFace());
    cairo_set_font_size(cr.get(), 13 * L);
    cairo_move_to(cr.get(), p.x, p.y - 6 * L);
    cairo_set_source_rgb(cr.get(), 0.9, 0.9, 0.9);
    cairo_show_text(cr.get(), text.c_str());
  }
  if (!Save(sheet.get(), outPng)) return fail("cannot write " + outPng);

  // Sheet 2: six mock screens, three a row.
  const int sw = 640 * L, sh = 480 * L, pad = 8 * L;
  SurfacePtr screens(
      cairo_image_surface_create(CAIRO_FORMAT_ARGB32, 3 * sw + 4 * pad, 2 * sh + 3 * pad));
  CairoPtr sc(cairo_create(screens.get()));
  cairo_set_source_rgb(sc.get(), 0.16, 0.16, 0.18);
  cairo_paint(sc.get());
  for (int i = 0; i < 6; ++i) {
    double ox = pad + (i % 3) * (sw + pad), oy = pad + (i / 3) * (sh + pad);
    cairo_save(sc.get());
    cairo_rectangle(sc.get(), ox, oy, sw, sh);
    cairo_clip(sc.get());
    Screen s(sc.get(), ox, oy, L, sprites);
    switch (i) {
      case 0:
        LoadingScreen(s);
        break;
      case 1:
        MenuScreen(s);
        break;
      case 2:
        PlayScreen(s, false);
        break;
      case 3:
        PlayScreen(s, true);
        break;
      case 4:
        PauseScreen(s);
        break;
      default:
        OptionsScreen(s);
        break;
    }
    cairo_restore(sc.get());
  }
  std::string screensPath = outPng;
  std::size_t dot = screensPath.rfind(".png");
  screensPath =
      (dot == std::string::npos ? screensPath : screensPath.substr(0, dot)) + "-screens.png";
  if (!Save(screens.get(), screensPath)) return fail("cannot write " + screensPath);
  return true;
}

}  // namespace assetgen
