// The game's pictures. Every painter draws one frame in design units (the frame's own pixel grid at
// level 1); the canvas scales them to 2 and 4 pixels per unit for the -hd and -hd2 files. The style
// is one arcade look throughout: saturated colours with dark outlines and a glossy light from the
// top left, white symbols where the game tints a picture with its own colour.
#include "tools/assetgen/Art.h"

#include <cmath>
#include <cstdint>
#include <iterator>
#include <string>

#include "game/FontKerning.h"

namespace assetgen {

namespace {

const Rgb kWhite{1, 1, 1};
const Rgb kBlack{0, 0, 0};
const Rgb kOutline = Rgb255(24, 10, 40);
const Rgb kGreen = Rgb255(100, 255, 100);
const Rgb kSteel = Rgb255(176, 190, 214);

// Deterministic pseudo-random numbers for the art (never the clock).
class Lcg {
 public:
  explicit Lcg(std::uint32_t seed) : state_(seed * 2654435761u + 12345u) {}
  double Next() {
    state_ = state_ * 1664525u + 1013904223u;
    return (state_ >> 8) / 16777216.0;
  }
  double Range(double a, double b) { return a + (b - a) * Next(); }

 private:
  std::uint32_t state_;
};

void Stroke(cairo_t* cr, Rgb c, double width, double alpha = 1) {
  SetColor(cr, c, alpha);
  cairo_set_line_width(cr, width);
  cairo_stroke_preserve(cr);
}

void Fill(cairo_t* cr, Rgb c, double alpha = 1) {
  SetColor(cr, c, alpha);
  cairo_fill_preserve(cr);
}

// ---- Symbols: white shapes centred on (cx, cy) within a box of `s` units
// -------------------------

enum class Symbol {
  Pause,
  Quit,
  Home,
  Play,
  Back,
  Sound,
  Music,
  Star,
  Trophy,
  Left,
  Right,
  Up,
  Down,
  Check,
  Info,
  Heart,
  Bolt,
  Crown,
  Ball,
  Diamond,
  Chain,
  Fullscreen,
  Menu,
  Clock,
};

void TrianglePath(cairo_t* cr, double cx, double cy, double r, double angle) {
  cairo_new_sub_path(cr);
  for (int i = 0; i < 3; ++i) {
    double a = angle + i * 2 * M_PI / 3;
    cairo_line_to(cr, cx + r * std::cos(a), cy + r * std::sin(a));
  }
  cairo_close_path(cr);
}

// Builds part 0 of the symbol's path, or part 1 for the symbols that combine stroked lines with
// filled shapes; `stroke` gets the width when the part is stroked (0 when it is filled).
void SymbolPath(cairo_t* cr, Symbol sym, double cx, double cy, double s, int part, double* stroke) {
  const double u = s / 24.0;  // symbols are designed on a 24-unit box
  auto X = [&](double v) { return cx + (v - 12) * u; };
  auto Y = [&](double v) { return cy + (v - 12) * u; };
  *stroke = 0;
  const bool twoParts = sym == Symbol::Back || sym == Symbol::Sound || sym == Symbol::Trophy;
  if (part == 1 && !twoParts) return;
  switch (sym) {
    case Symbol::Pause:
      RoundedRect(cr, X(6.5), Y(5), 4 * u, 14 * u, 1.2 * u);
      RoundedRect(cr, X(13.5), Y(5), 4 * u, 14 * u, 1.2 * u);
      break;
    case Symbol::Quit:
      cairo_move_to(cr, X(6.5), Y(6.5));
      cairo_line_to(cr, X(17.5), Y(17.5));
      cairo_move_to(cr, X(17.5), Y(6.5));
      cairo_line_to(cr, X(6.5), Y(17.5));
      *stroke = 3.6 * u;
      break;
    case Symbol::Home:
      cairo_move_to(cr, X(12), Y(4));
      cairo_line_to(cr, X(21), Y(12));
      cairo_line_to(cr, X(18), Y(12));
      cairo_line_to(cr, X(18), Y(20));
      cairo_line_to(cr, X(14), Y(20));
      cairo_line_to(cr, X(14), Y(15));
      cairo_line_to(cr, X(10), Y(15));
      cairo_line_to(cr, X(10), Y(20));
      cairo_line_to(cr, X(6), Y(20));
      cairo_line_to(cr, X(6), Y(12));
      cairo_line_to(cr, X(3), Y(12));
      cairo_close_path(cr);
      break;
    case Symbol::Play:
      TrianglePath(cr, X(13.3), Y(12), 8.6 * u, 0);
      break;
    case Symbol::Back:  // a curved arrow turning back to the left
      if (part == 0) {
        cairo_move_to(cr, X(9), Y(7));
        cairo_arc(cr, X(13), Y(13.5), 6.5 * u, -M_PI / 2, M_PI / 2);
        cairo_line_to(cr, X(8), Y(20));
        *stroke = 3.4 * u;
      } else {
        TrianglePath(cr, X(7), Y(7), 5.5 * u, M_PI);
      }
      break;
    case Symbol::Sound:
      if (part == 0) {
        cairo_new_sub_path(cr);
        cairo_arc(cr, X(12), Y(12), 4.5 * u, -0.7, 0.7);
        cairo_new_sub_path(cr);
        cairo_arc(cr, X(12), Y(12), 8.5 * u, -0.75, 0.75);
        *stroke = 2.2 * u;
      } else {
        cairo_move_to(cr, X(3), Y(9));
        cairo_line_to(cr, X(7), Y(9));
        cairo_line_to(cr, X(12), Y(4.5));
        cairo_line_to(cr, X(12), Y(19.5));
        cairo_line_to(cr, X(7), Y(15));
        cairo_line_to(cr, X(3), Y(15));
        cairo_close_path(cr);
      }
      break;
    case Symbol::Music:
      Circle(cr, X(7.5), Y(18), 3.4 * u);
      Circle(cr, X(17), Y(16), 3.4 * u);
      cairo_move_to(cr, X(9.6), Y(18));
      cairo_line_to(cr, X(9.6), Y(5.5));
      cairo_line_to(cr, X(19.2), Y(3.5));
      cairo_line_to(cr, X(19.2), Y(16));
      cairo_line_to(cr, X(17.4), Y(16));
      cairo_line_to(cr, X(17.4), Y(8));
      cairo_line_to(cr, X(11.4), Y(9.3));
      cairo_line_to(cr, X(11.4), Y(18));
      cairo_close_path(cr);
      break;
    case Symbol::Star:
      StarPath(cr, X(12), Y(12.8), 5, 10 * u, 4.2 * u, 0);
      break;
    case Symbol::Trophy:
      if (part == 0) {
        cairo_new_sub_path(cr);
        cairo_arc(cr, X(6), Y(8.5), 3 * u, M_PI * 0.5, M_PI * 1.5);
        cairo_new_sub_path(cr);
        cairo_arc_negative(cr, X(18), Y(8.5), 3 * u, M_PI * 0.5, -M_PI * 0.5);
        *stroke = 1.8 * u;
      } else {
        cairo_move_to(cr, X(6), Y(4));
        cairo_line_to(cr, X(18), Y(4));
        cairo_curve_to(cr, X(18), Y(11), X(16), Y(14), X(13.2), Y(15));
        cairo_line_to(cr, X(13.2), Y(18));
        cairo_line_to(cr, X(17), Y(20.5));
        cairo_line_to(cr, X(7), Y(20.5));
        cairo_line_to(cr, X(10.8), Y(18));
        cairo_line_to(cr, X(10.8), Y(15));
        cairo_curve_to(cr, X(8), Y(14), X(6), Y(11), X(6), Y(4));
        cairo_close_path(cr);
      }
      break;
    case Symbol::Left:
      TrianglePath(cr, X(10.5), Y(12), 8 * u, M_PI);
      break;
    case Symbol::Right:
      TrianglePath(cr, X(13.5), Y(12), 8 * u, 0);
      break;
    case Symbol::Up:
      TrianglePath(cr, X(12), Y(10.5), 8 * u, -M_PI / 2);
      break;
    case Symbol::Down:
      TrianglePath(cr, X(12), Y(13.5), 8 * u, M_PI / 2);
      break;
    case Symbol::Check:
      cairo_move_to(cr, X(5), Y(12.5));
      cairo_line_to(cr, X(10), Y(17.5));
      cairo_line_to(cr, X(19), Y(6.5));
      *stroke = 3.6 * u;
      break;
    case Symbol::Info:
      Circle(cr, X(12), Y(5.8), 2.4 * u);
      RoundedRect(cr, X(10), Y(10), 4 * u, 10.5 * u, 1 * u);
      break;
    case Symbol::Heart:
      cairo_move_to(cr, X(12), Y(20));
      cairo_curve_to(cr, X(3), Y(13.5), X(3), Y(5), X(8), Y(5));
      cairo_curve_to(cr, X(10.5), Y(5), X(12), Y(7), X(12), Y(8.5));
      cairo_curve_to(cr, X(12), Y(7), X(13.5), Y(5), X(16), Y(5));
      cairo_curve_to(cr, X(21), Y(5), X(21), Y(13.5), X(12), Y(20));
      cairo_close_path(cr);
      break;
    case Symbol::Bolt:
      cairo_move_to(cr, X(14), Y(2.5));
      cairo_line_to(cr, X(6), Y(13.5));
      cairo_line_to(cr, X(11.5), Y(13.5));
      cairo_line_to(cr, X(9.5), Y(21.5));
      cairo_line_to(cr, X(18), Y(10));
      cairo_line_to(cr, X(12.5), Y(10));
      cairo_close_path(cr);
      break;
    case Symbol::Crown:
      cairo_move_to(cr, X(4), Y(18));
      cairo_line_to(cr, X(3), Y(7));
      cairo_line_to(cr, X(8.5), Y(12));
      cairo_line_to(cr, X(12), Y(5));
      cairo_line_to(cr, X(15.5), Y(12));
      cairo_line_to(cr, X(21), Y(7));
      cairo_line_to(cr, X(20), Y(18));
      cairo_close_path(cr);
      break;
    case Symbol::Ball:
      Circle(cr, X(12), Y(12), 8 * u);
      break;
    case Symbol::Diamond:
      cairo_move_to(cr, X(12), Y(2.5));
      cairo_line_to(cr, X(18.5), Y(12));
      cairo_line_to(cr, X(12), Y(21.5));
      cairo_line_to(cr, X(5.5), Y(12));
      cairo_close_path(cr);
      break;
    case Symbol::Chain:
      RoundedRect(cr, X(3), Y(8.5), 11 * u, 7 * u, 3.5 * u);
      RoundedRect(cr, X(10), Y(8.5), 11 * u, 7 * u, 3.5 * u);
      *stroke = 2.4 * u;
      break;
    case Symbol::Fullscreen:
      for (int i = 0; i < 4; ++i) {
        double sx = (i & 1) ? 1 : -1, sy = (i & 2) ? 1 : -1;
        cairo_move_to(cr, X(12 + sx * 8), Y(12 + sy * 3));
        cairo_line_to(cr, X(12 + sx * 8), Y(12 + sy * 8));
        cairo_line_to(cr, X(12 + sx * 3), Y(12 + sy * 8));
      }
      *stroke = 2.8 * u;
      break;
    case Symbol::Menu:
      for (int i = 0; i < 3; ++i) RoundedRect(cr, X(4), Y(5.5 + i * 5.5), 16 * u, 3 * u, 1.5 * u);
      break;
    case Symbol::Clock:
      Circle(cr, X(12), Y(12), 8.5 * u);
      cairo_move_to(cr, X(12), Y(7));
      cairo_line_to(cr, X(12), Y(12));
      cairo_line_to(cr, X(15.5), Y(14));
      *stroke = 2.4 * u;
      break;
  }
}

// Draws a symbol in `color` with a soft dark shadow under it.
void DrawSymbol(cairo_t* cr, Symbol sym, double cx, double cy, double s, Rgb color,
                double shadow = 0.45) {
  for (int pass = 0; pass < 2; ++pass) {
    if (pass == 0 && shadow <= 0) continue;
    const double off = pass == 0 ? s / 24.0 : 0;
    SetColor(cr, pass == 0 ? kBlack : color, pass == 0 ? shadow : 1);
    // The shadow of both parts goes down first, so no shadow falls over the symbol itself.
    for (int part = 0; part < 2; ++part) {
      double stroke = 0;
      cairo_new_path(cr);
      SymbolPath(cr, sym, cx + off, cy + off, s, part, &stroke);
      if (stroke > 0) {
        cairo_set_line_width(cr, stroke);
        cairo_stroke(cr);
      } else {
        cairo_fill(cr);
      }
    }
  }
  cairo_new_path(cr);
}

// ---- world001: the player ball and the spike points -------------------------------------------

}  // namespace

void PaintBall(cairo_t* cr) {
  const double cx = 16, cy = 16, r = 13.2;
  Circle(cr, cx, cy, r);
  FillGloss(cr, Rgb255(255, 186, 36), cx, cy, r);
  Stroke(cr, Rgb255(90, 30, 0), 1.6);
  cairo_new_path(cr);
  // Eyes looking ahead, to the right, where the world comes from.
  for (int i = 0; i < 2; ++i) {
    double ex = cx + 2.2 + i * 6.2, ey = cy - 2.5;
    cairo_save(cr);
    cairo_translate(cr, ex, ey);
    cairo_scale(cr, 1, 1.35);
    Circle(cr, 0, 0, 2.6);
    cairo_restore(cr);
    Fill(cr, kWhite);
    cairo_new_path(cr);
    Circle(cr, ex + 0.9, ey + 0.2, 1.45);
    Fill(cr, Rgb255(20, 10, 40));
    cairo_new_path(cr);
  }
  // Highlight.
  cairo_save(cr);
  cairo_translate(cr, cx - 5.5, cy - 7);
  cairo_rotate(cr, -0.6);
  cairo_scale(cr, 1, 0.55);
  Circle(cr, 0, 0, 3.4);
  cairo_restore(cr);
  Fill(cr, kWhite, 0.75);
  cairo_new_path(cr);
}

// Colour of a spike of height 0-9: cool cyan for the low ones up to hot gold for the tallest.
Rgb SpikeColor(int h) {
  return Hsv(190 + h * 24.5, 0.62, 1.0);
}

// A faceted crystal tip, symmetric top to bottom so it reads both as the point and as its
// reflection under the ground; it grows with the height.
void PaintSpike(cairo_t* cr, int h) {
  const double cx = 16, cy = 16;
  const double hh = 9.5 + h * 0.62, hw = 5.5 + h * 0.5;
  const Rgb base = SpikeColor(h);
  const double tipX[4] = {cx, cx + hw, cx, cx - hw};
  const double tipY[4] = {cy - hh, cy, cy + hh, cy};
  // Facets between neighbouring points, lit from the top left: top-right, bottom-right,
  // bottom-left, top-left. Positive shades mix towards white, negative towards black.
  const double shade[4] = {0.15, -0.45, -0.15, 0.55};
  for (int i = 0; i < 4; ++i) {
    int j = (i + 1) % 4;
    cairo_move_to(cr, cx, cy);
    cairo_line_to(cr, tipX[i], tipY[i]);
    cairo_line_to(cr, tipX[j], tipY[j]);
    cairo_close_path(cr);
    Fill(cr, shade[i] > 0 ? Mix(base, kWhite, shade[i]) : Mix(base, kBlack, -shade[i]));
    cairo_new_path(cr);
  }
  // Rim.
  cairo_move_to(cr, tipX[0], tipY[0]);
  for (int i = 1; i < 4; ++i) cairo_line_to(cr, tipX[i], tipY[i]);
  cairo_close_path(cr);
  Stroke(cr, Mix(base, kOutline, 0.7), 1.2);
  cairo_new_path(cr);
  // Glints at the two points.
  for (int i = 0; i < 3; i += 2) {
    cairo_move_to(cr, tipX[i], tipY[i] + (i == 0 ? 2.0 : -2.0));
    cairo_line_to(cr, cx, cy);
  }
  Stroke(cr, kWhite, 0.8, 0.6);
  cairo_new_path(cr);
}

namespace {

void PaintWorld(Canvas& canvas) {
  {
    auto f = canvas.Frame(0);
    PaintBall(f);
  }
  for (int h = 0; h < 10; ++h) {
    auto f = canvas.Frame(10 + h);
    PaintSpike(f, h);
  }
}

// ---- parts: 256 star-field dots, sparkles and glints ----------------------------------------

void PaintParts(Canvas& canvas) {
  for (int i = 0; i < canvas.frames(); ++i) {
    auto f = canvas.Frame(i);
    cairo_t* cr = f;
    Lcg rng(static_cast<std::uint32_t>(i) + 7u);
    const Rgb tint = Hsv(rng.Range(0, 360), rng.Range(0.08, 0.38), 1.0);
    const double size = rng.Range(0.35, 1.0);
    const int kind = i % 4;
    const double c = 4;
    if (kind == 0) {  // round dot with a soft edge
      double r = 0.9 + size * 1.7;
      PatternPtr p(cairo_pattern_create_radial(c, c, 0, c, c, r));
      cairo_pattern_add_color_stop_rgba(p.get(), 0, 1, 1, 1, 1);
      cairo_pattern_add_color_stop_rgba(p.get(), 0.5, tint.r, tint.g, tint.b, 1);
      cairo_pattern_add_color_stop_rgba(p.get(), 1, tint.r, tint.g, tint.b, 0);
      cairo_set_source(cr, p.get());
      Circle(cr, c, c, r);
      cairo_fill(cr);
    } else if (kind == 1) {  // wide soft glow
      double r = 2.2 + size * 1.8;
      PatternPtr p(cairo_pattern_create_radial(c, c, 0, c, c, r));
      cairo_pattern_add_color_stop_rgba(p.get(), 0, 1, 1, 1, 0.95);
      cairo_pattern_add_color_stop_rgba(p.get(), 0.25, tint.r, tint.g, tint.b, 0.7);
      cairo_pattern_add_color_stop_rgba(p.get(), 1, tint.r, tint.g, tint.b, 0);
      cairo_set_source(cr, p.get());
      Circle(cr, c, c, r);
      cairo_fill(cr);
    } else if (kind == 2) {  // four-point sparkle
      double ro = 2.4 + size * 1.5, ri = 0.45 + size * 0.25;
      StarPath(cr, c, c, 4, ro, ri, rng.Range(0, 0.4));
      SetColor(cr, tint);
      cairo_fill(cr);
      Circle(cr, c, c, 0.9);
      SetColor(cr, kWhite);
      cairo_fill(cr);
    } else {  // thin cross glint with a bright core
      double len = 2 + size * 1.9;
      cairo_set_line_width(cr, 0.7);
      cairo_move_to(cr, c - len, c);
      cairo_line_to(cr, c + len, c);
      cairo_move_to(cr, c, c - len);
      cairo_line_to(cr, c, c + len);
      SetColor(cr, tint, 0.85);
      cairo_stroke(cr);
      Circle(cr, c, c, 0.6 + size * 0.6);
      SetColor(cr, kWhite);
      cairo_fill(cr);
    }
  }
}

// ---- common/icons: white symbols in a ring, tinted by the game -------------------------------

void PaintIcons(Canvas& canvas) {
  const Symbol symbols[16] = {Symbol::Pause, Symbol::Quit,   Symbol::Home,  Symbol::Play,
                              Symbol::Back,  Symbol::Sound,  Symbol::Pause, Symbol::Music,
                              Symbol::Star,  Symbol::Trophy, Symbol::Left,  Symbol::Right,
                              Symbol::Up,    Symbol::Down,   Symbol::Check, Symbol::Info};
  for (int i = 0; i < 16; ++i) {
    auto f = canvas.Frame(i);
    cairo_t* cr = f;
    if (i == 6) {
      // Selection ring: drawn enlarged over a button, so it is a bright ring with a soft glow and
      // four ticks, open in the middle.
      for (int g = 0; g < 3; ++g) {
        Circle(cr, 16, 16, 13.2);
        cairo_set_line_width(cr, 5.5 - g * 1.6);
        SetColor(cr, kWhite, 0.18 + g * 0.25);
        cairo_stroke(cr);
      }
      for (int t = 0; t < 4; ++t) {
        double a = M_PI / 4 + t * M_PI / 2;
        cairo_move_to(cr, 16 + 10.2 * std::cos(a), 16 + 10.2 * std::sin(a));
        cairo_line_to(cr, 16 + 15.6 * std::cos(a), 16 + 15.6 * std::sin(a));
      }
      cairo_set_line_width(cr, 2.2);
      SetColor(cr, kWhite);
      cairo_stroke(cr);
      continue;
    }
    Circle(cr, 16, 16, 14);
    Fill(cr, kBlack, 0.35);
    cairo_new_path(cr);
    Circle(cr, 16, 16, 13.6);
    cairo_set_line_width(cr, 2.2);
    SetColor(cr, kWhite);
    cairo_stroke(cr);
    DrawSymbol(cr, symbols[i], 16, 16, 19, kWhite, 0.5);
  }
}

// ---- common/Buttons: glossy round buttons and the options gear -------------------------------

void GearPath(cairo_t* cr, double cx, double cy, int teeth, double rRoot, double rTip,
              double rHole) {
  cairo_new_sub_path(cr);
  const double step = 2 * M_PI / teeth;
  for (int t = 0; t < teeth; ++t) {
    double a = t * step;
    // Root, flank up, tip, flank down: a trapezoid tooth.
    cairo_line_to(cr, cx + rRoot * std::cos(a), cy + rRoot * std::sin(a));
    cairo_line_to(cr, cx + rTip * std::cos(a + step * 0.18), cy + rTip * std::sin(a + step * 0.18));
    cairo_line_to(cr, cx + rTip * std::cos(a + step * 0.42), cy + rTip * std::sin(a + step * 0.42));
    cairo_line_to(cr, cx + rRoot * std::cos(a + step * 0.6), cy + rRoot * std::sin(a + step * 0.6));
  }
  cairo_close_path(cr);
  if (rHole > 0) {
    cairo_new_sub_path(cr);
    cairo_arc_negative(cr, cx, cy, rHole, 2 * M_PI, 0);
    cairo_close_path(cr);
  }
}

void PaintGear(cairo_t* cr, double cx, double cy, int teeth, double rRoot, double rTip,
               double rHole, Rgb base) {
  GearPath(cr, cx, cy, teeth, rRoot, rTip, rHole);
  cairo_set_fill_rule(cr, CAIRO_FILL_RULE_EVEN_ODD);
  FillGloss(cr, base, cx, cy, rTip);
  Stroke(cr, kOutline, 1.6);
  cairo_set_fill_rule(cr, CAIRO_FILL_RULE_WINDING);
  cairo_new_path(cr);
}

void PaintRoundButton(cairo_t* cr, Rgb base, Symbol sym) {
  const double c = 32, r = 28;
  Circle(cr, c + 1.5, c + 2, r);
  Fill(cr, kBlack, 0.35);
  cairo_new_path(cr);
  Circle(cr, c, c, r);
  FillGloss(cr, base, c, c, r);
  Stroke(cr, kOutline, 2.4);
  cairo_new_path(cr);
  Circle(cr, c, c, r - 3.2);
  Stroke(cr, Mix(base, kWhite, 0.5), 1.2, 0.7);
  cairo_new_path(cr);
  DrawSymbol(cr, sym, c, c, 34, kWhite, 0.4);
}

void PaintButtons(Canvas& canvas) {
  struct B {
    int frame;
    Rgb color;
    Symbol sym;
  };
  const B buttons[] = {
      {0, Rgb255(40, 200, 70), Symbol::Play},    {1, Rgb255(40, 120, 240), Symbol::Pause},
      {2, Rgb255(250, 140, 30), Symbol::Back},   {3, Rgb255(150, 70, 220), Symbol::Home},
      {4, Rgb255(240, 190, 20), Symbol::Trophy}, {5, Rgb255(20, 180, 190), Symbol::Sound},
      {6, Rgb255(235, 70, 160), Symbol::Music},  {7, Rgb255(60, 140, 255), Symbol::Info},
      {11, Rgb255(250, 200, 40), Symbol::Star},  {13, Rgb255(90, 110, 160), Symbol::Fullscreen},
      {14, Rgb255(230, 50, 50), Symbol::Quit},   {15, Rgb255(60, 190, 90), Symbol::Check},
  };
  for (const B& b : buttons) {
    auto f = canvas.Frame(b.frame);
    PaintRoundButton(f, b.color, b.sym);
  }
  {  // 8: outer gear ring
    auto f = canvas.Frame(8);
    PaintGear(f, 32, 32, 12, 25.5, 30.5, 19.5, kSteel);
  }
  {  // 9: middle ring, turning the other way inside the outer one
    auto f = canvas.Frame(9);
    PaintGear(f, 32, 32, 8, 15.6, 18.6, 10.5, Rgb255(255, 160, 40));
  }
  {  // 10: the hub
    auto f = canvas.Frame(10);
    cairo_t* cr = f;
    StarPath(cr, 32, 32, 3, 9.5, 9.5, 0);  // a hexagon
    FillGloss(cr, Rgb255(235, 240, 250), 32, 32, 9.5);
    Stroke(cr, kOutline, 1.6);
    cairo_new_path(cr);
    Circle(cr, 32, 32, 3.4);
    Fill(cr, Rgb255(40, 50, 90));
    cairo_new_path(cr);
  }
  {  // 12: a small gear icon
    auto f = canvas.Frame(12);
    PaintGear(f, 32, 32, 10, 20, 25, 9, kSteel);
    Circle(f, 32, 32, 5);
    Fill(f, Rgb255(255, 160, 40));
    Stroke(f, kOutline, 1.4);
  }
}

// ---- common/QELDLogo: the studio's emblem -----------------------------------------------------

void PaintStudioLogo(Canvas& canvas, Fonts& fonts) {
  auto f = canvas.Frame(0);
  cairo_t* cr = f;
  const double c = 128;
  // Backdrop disc with a white and a cyan rim.
  Circle(cr, c + 3, c + 5, 118);
  Fill(cr, kBlack, 0.4);
  cairo_new_path(cr);
  Circle(cr, c, c, 118);
  {
    PatternPtr p(cairo_pattern_create_linear(0, 10, 0, 246));
    cairo_pattern_add_color_stop_rgb(p.get(), 0, 0.10, 0.10, 0.32);
    cairo_pattern_add_color_stop_rgb(p.get(), 1, 0.03, 0.02, 0.14);
    cairo_set_source(cr, p.get());
    cairo_fill_preserve(cr);
  }
  Stroke(cr, kWhite, 6);
  cairo_new_path(cr);
  Circle(cr, c, c, 110);
  Stroke(cr, Rgb255(60, 220, 255), 2.5);
  cairo_new_path(cr);
  // Four arcs, one per letter, around the centre: a "Q" whose tail is the white stroke below.
  const Rgb arcs[4] = {Rgb255(255, 70, 90), Rgb255(255, 200, 40), Rgb255(90, 230, 110),
                       Rgb255(70, 150, 255)};
  const double rc = 62, gap = 0.16;
  for (int i = 0; i < 4; ++i) {
    double a0 = -M_PI / 2 + i * M_PI / 2 + gap, a1 = a0 + M_PI / 2 - 2 * gap;
    cairo_new_sub_path(cr);
    cairo_arc(cr, c, c - 12, rc, a0, a1);
    cairo_set_line_width(cr, 20);
    cairo_set_line_cap(cr, CAIRO_LINE_CAP_ROUND);
    SetColor(cr, arcs[i]);
    cairo_stroke(cr);
  }
  // The tail.
  cairo_move_to(cr, c + 22, c + 10);
  cairo_line_to(cr, c + 62, c + 44);
  cairo_set_line_width(cr, 14);
  SetColor(cr, kWhite);
  cairo_stroke(cr);
  // The ball in the middle.
  Circle(cr, c, c - 12, 22);
  FillGloss(cr, Rgb255(255, 186, 36), c, c - 12, 22);
  Stroke(cr, kOutline, 2.5);
  cairo_new_path(cr);
  // The name.
  CentredTextPath(cr, fonts.sans->CairoFace(), "QELD", c - 4, 206, 38, 150);
  Stroke(cr, kOutline, 5);
  Fill(cr, kWhite);
  cairo_new_path(cr);
}

// ---- common/Testcard_Circle: a colourful test card ------------------------------------------

void PaintTestcard(Canvas& canvas, Fonts& fonts) {
  auto f = canvas.Frame(0);
  cairo_t* cr = f;
  const double c = 128, r = 124;
  cairo_save(cr);
  Circle(cr, c, c, r);
  cairo_clip(cr);
  // Grey grid.
  cairo_rectangle(cr, 0, 0, 256, 256);
  SetColor(cr, Rgb255(110, 110, 118));
  cairo_fill(cr);
  for (int i = 0; i <= 16; ++i) {
    cairo_rectangle(cr, i * 16 - 0.75, 0, 1.5, 256);
    cairo_rectangle(cr, 0, i * 16 - 0.75, 256, 1.5);
  }
  SetColor(cr, Rgb255(235, 235, 235));
  cairo_fill(cr);
  // Grey steps across the top.
  for (int i = 0; i < 8; ++i) {
    cairo_rectangle(cr, 32 + i * 24, 40, 24, 24);
    double v = i / 7.0;
    cairo_set_source_rgb(cr, v, v, v);
    cairo_fill(cr);
  }
  // Colour bars through the middle.
  const Rgb bars[8] = {kWhite,
                       Rgb255(255, 235, 0),
                       Rgb255(0, 230, 235),
                       Rgb255(0, 210, 60),
                       Rgb255(225, 0, 210),
                       Rgb255(235, 20, 20),
                       Rgb255(20, 40, 235),
                       kBlack};
  for (int i = 0; i < 8; ++i) {
    cairo_rectangle(cr, 16 + i * 28, 72, 28, 64);
    SetColor(cr, bars[i]);
    cairo_fill(cr);
  }
  // Frequency gratings below.
  const double widths[5] = {4, 3, 2, 1.5, 1};
  for (int g = 0; g < 5; ++g) {
    double x0 = 40 + g * 36;
    cairo_rectangle(cr, x0, 144, 32, 40);
    SetColor(cr, kBlack);
    cairo_fill(cr);
    for (double x = x0; x + widths[g] <= x0 + 32; x += widths[g] * 2) {
      cairo_rectangle(cr, x, 144, widths[g], 40);
    }
    SetColor(cr, kWhite);
    cairo_fill(cr);
  }
  // Name plate.
  RoundedRect(cr, 64, 192, 128, 28, 6);
  Fill(cr, kBlack);
  cairo_new_path(cr);
  CentredTextPath(cr, fonts.sans->CairoFace(), "DROMMEL", c, 214, 21, 112);
  Fill(cr, kWhite);
  cairo_new_path(cr);
  // Centre cross and circle.
  cairo_move_to(cr, c, 4);
  cairo_line_to(cr, c, 252);
  cairo_move_to(cr, 4, c);
  cairo_line_to(cr, 252, c);
  cairo_set_line_width(cr, 1.5);
  SetColor(cr, kWhite, 0.9);
  cairo_stroke(cr);
  Circle(cr, c, c, 60);
  cairo_stroke(cr);
  cairo_restore(cr);
  // Rim: black with a rainbow ring.
  Circle(cr, c, c, r - 2);
  Stroke(cr, kBlack, 5);
  cairo_new_path(cr);
  for (int i = 0; i < 36; ++i) {
    cairo_new_sub_path(cr);
    cairo_arc(cr, c, c, r - 6.5, i * M_PI / 18, (i + 1) * M_PI / 18 + 0.01);
    cairo_set_line_width(cr, 4);
    cairo_set_line_cap(cr, CAIRO_LINE_CAP_BUTT);
    SetColor(cr, Hsv(i * 10, 0.85, 1));
    cairo_stroke(cr);
  }
  cairo_set_line_cap(cr, CAIRO_LINE_CAP_ROUND);
}

// ---- logo: the title ---------------------------------------------------------------------------

void PaintTitle(Canvas& canvas, Fonts& fonts) {
  auto f = canvas.Frame(0);
  cairo_t* cr = f;
  // Ground line with the spike reflections the game is about.
  cairo_rectangle(cr, 22, 95, 212, 4);
  SetColor(cr, kGreen);
  cairo_fill(cr);
  for (int i = 0; i < 6; ++i) {
    double x = 40 + i * 35, hh = 5 + i * 1.6, hw = 3.5 + i * 0.5, y = 104 + hh;
    cairo_move_to(cr, x, y - hh);
    cairo_line_to(cr, x + hw, y);
    cairo_line_to(cr, x, y + hh);
    cairo_line_to(cr, x - hw, y);
    cairo_close_path(cr);
    Fill(cr, SpikeColor(i * 2));
    Stroke(cr, kOutline, 1);
    cairo_new_path(cr);
  }
  // Lettering: drop shadow, dark outline, hot gradient.
  cairo_push_group(cr);
  CentredTextPath(cr, fonts.sans->CairoFace(), "Drommel", 125, 86, 60, 214);
  Fill(cr, kBlack);
  Stroke(cr, kBlack, 7);
  cairo_new_path(cr);
  cairo_pop_group_to_source(cr);
  cairo_paint_with_alpha(cr, 0.45);
  CentredTextPath(cr, fonts.sans->CairoFace(), "Drommel", 122, 82, 60, 214);
  Stroke(cr, kOutline, 7);
  {
    PatternPtr p(cairo_pattern_create_linear(0, 30, 0, 82));
    cairo_pattern_add_color_stop_rgb(p.get(), 0, 1.0, 0.96, 0.45);
    cairo_pattern_add_color_stop_rgb(p.get(), 0.5, 1.0, 0.62, 0.12);
    cairo_pattern_add_color_stop_rgb(p.get(), 1, 0.92, 0.18, 0.22);
    cairo_set_source(cr, p.get());
    cairo_fill_preserve(cr);
  }
  Stroke(cr, Rgb255(255, 250, 200), 1, 0.5);
  cairo_new_path(cr);
  // The ball, bouncing over the end of the word.
  Circle(cr, 232, 30, 11);
  FillGloss(cr, Rgb255(255, 186, 36), 232, 30, 11);
  Stroke(cr, Rgb255(90, 30, 0), 1.6);
  cairo_new_path(cr);
  for (int i = 0; i < 3; ++i) {  // motion lines
    cairo_move_to(cr, 232 - 4 + i * 4, 46 + i);
    cairo_line_to(cr, 232 - 4 + i * 4, 54 + i * 2);
  }
  Stroke(cr, kWhite, 1.6, 0.7);
  cairo_new_path(cr);
}

// ---- menu: four menu item panels ---------------------------------------------------------------

void PaintMenu(Canvas& canvas, Fonts& fonts) {
  struct Item {
    const char* label;
    Rgb color;
    Symbol sym;
  };
  const Item items[4] = {{"PLAY", Rgb255(40, 200, 70), Symbol::Play},
                         {"OPTIONS", Rgb255(250, 140, 30), Symbol::Menu},
                         {"SCORES", Rgb255(240, 190, 20), Symbol::Trophy},
                         {"CREDITS", Rgb255(150, 70, 220), Symbol::Star}};
  for (int i = 0; i < 4; ++i) {
    auto f = canvas.Frame(i);
    cairo_t* cr = f;
    const Item& it = items[i];
    RoundedRect(cr, 12, 84, 236, 96, 18);
    Fill(cr, kBlack, 0.35);
    cairo_new_path(cr);
    RoundedRect(cr, 8, 78, 236, 96, 18);
    {
      Rgb top = Mix(it.color, kWhite, 0.35), bottom = Mix(it.color, kBlack, 0.3);
      PatternPtr p(cairo_pattern_create_linear(0, 78, 0, 174));
      cairo_pattern_add_color_stop_rgb(p.get(), 0, top.r, top.g, top.b);
      cairo_pattern_add_color_stop_rgb(p.get(), 1, bottom.r, bottom.g, bottom.b);
      cairo_set_source(cr, p.get());
      cairo_fill_preserve(cr);
    }
    Stroke(cr, kOutline, 4);
    cairo_new_path(cr);
    RoundedRect(cr, 13, 83, 226, 86, 14);
    Stroke(cr, kWhite, 2, 0.6);
    cairo_new_path(cr);
    Circle(cr, 58, 126, 32);
    Fill(cr, kBlack, 0.25);
    cairo_new_path(cr);
    DrawSymbol(cr, it.sym, 58, 126, 44, kWhite, 0.4);
    CentredTextPath(cr, fonts.sans->CairoFace(), it.label, 164, 140, 38, 128);
    Stroke(cr, kOutline, 4);
    Fill(cr, kWhite);
    cairo_new_path(cr);
  }
}

// ---- common/dpad: on-screen pad pieces -------------------------------------------------------

void PadButton(cairo_t* cr, Fonts& fonts, const char* letter, bool pill) {
  if (pill) {
    RoundedRect(cr, 3, 9, 26, 14, 7);
  } else {
    Circle(cr, 16, 16, 13);
  }
  Fill(cr, Rgb255(200, 200, 210), 0.55);
  Stroke(cr, kWhite, 1.8);
  cairo_new_path(cr);
  CentredTextPath(cr, fonts.sans->CairoFace(), letter, 16, pill ? 20.5 : 22.5, pill ? 11 : 17, 22);
  Fill(cr, kWhite);
  Stroke(cr, kOutline, 0.6, 0.5);
  cairo_new_path(cr);
}

void PaintDpad(Canvas& canvas, Fonts& fonts) {
  const Rgb grey = Rgb255(200, 200, 210);
  {  // 0: the whole cross
    auto f = canvas.Frame(0);
    cairo_t* cr = f;
    RoundedRect(cr, 11, 2, 10, 28, 2.5);
    RoundedRect(cr, 2, 11, 28, 10, 2.5);
    cairo_set_fill_rule(cr, CAIRO_FILL_RULE_WINDING);
    Fill(cr, grey, 0.55);
    Stroke(cr, kWhite, 1.5);
    cairo_new_path(cr);
    Circle(cr, 16, 16, 3);
    Fill(cr, kWhite, 0.7);
  }
  const Symbol arrows[4] = {Symbol::Up, Symbol::Right, Symbol::Down, Symbol::Left};
  for (int i = 0; i < 4; ++i) {  // 1-4: one arm each
    auto f = canvas.Frame(1 + i);
    cairo_t* cr = f;
    RoundedRect(cr, 5, 5, 22, 22, 5);
    Fill(cr, grey, 0.55);
    Stroke(cr, kWhite, 1.5);
    cairo_new_path(cr);
    DrawSymbol(cr, arrows[i], 16, 16, 16, kWhite, 0.3);
  }
  {  // 5: stick base
    auto f = canvas.Frame(5);
    cairo_t* cr = f;
    Circle(cr, 16, 16, 14.5);
    Fill(cr, grey, 0.3);
    Stroke(cr, kWhite, 1.5);
    cairo_new_path(cr);
    Circle(cr, 16, 16, 8);
    Stroke(cr, kWhite, 0.8, 0.5);
  }
  {  // 6: stick knob
    auto f = canvas.Frame(6);
    Circle(f, 16, 16, 10);
    FillGloss(f, Rgb255(215, 215, 225), 16, 16, 10);
    Stroke(f, kOutline, 1.4);
  }
  const char* letters[4] = {"A", "B", "X", "Y"};
  for (int i = 0; i < 4; ++i) {
    auto f = canvas.Frame(7 + i);
    PadButton(f, fonts, letters[i], false);
  }
  const char* pills[5] = {"L", "R", "START", "SELECT", "BACK"};
  for (int i = 0; i < 5; ++i) {
    auto f = canvas.Frame(11 + i);
    PadButton(f, fonts, pills[i], true);
  }
}

// ---- BadgesA: 64 medals ------------------------------------------------------------------------

void PaintBadges(Canvas& canvas) {
  const Symbol symbols[16] = {Symbol::Star,   Symbol::Ball,  Symbol::Diamond, Symbol::Chain,
                              Symbol::Bolt,   Symbol::Heart, Symbol::Crown,   Symbol::Check,
                              Symbol::Trophy, Symbol::Music, Symbol::Up,      Symbol::Clock,
                              Symbol::Home,   Symbol::Info,  Symbol::Play,    Symbol::Sound};
  const Rgb rims[4] = {Rgb255(205, 127, 50), Rgb255(200, 205, 215), Rgb255(255, 205, 40),
                       Rgb255(150, 235, 255)};
  for (int i = 0; i < 64; ++i) {
    auto f = canvas.Frame(i);
    cairo_t* cr = f;
    const int tier = i / 16, shape = i % 4;
    const Rgb inner = Hsv(i * 47.0, 0.7, 0.85);
    const Rgb rim = rims[tier];
    auto shapePath = [&](double r) {
      switch (shape) {
        case 0:
          Circle(cr, 32, 32, r);
          break;
        case 1:  // shield
          cairo_move_to(cr, 32 - r, 32 - r * 0.9);
          cairo_line_to(cr, 32 + r, 32 - r * 0.9);
          cairo_curve_to(cr, 32 + r, 32 + r * 0.3, 32 + r * 0.5, 32 + r * 0.8, 32, 32 + r * 1.05);
          cairo_curve_to(cr, 32 - r * 0.5, 32 + r * 0.8, 32 - r, 32 + r * 0.3, 32 - r,
                         32 - r * 0.9);
          cairo_close_path(cr);
          break;
        case 2:
          StarPath(cr, 32, 32, 12, r * 1.08, r * 0.9, 0);
          break;
        default:
          StarPath(cr, 32, 32, 3, r * 1.05, r * 1.05, M_PI / 6);
          break;
      }
    };
    shapePath(27);
    cairo_save(cr);
    cairo_translate(cr, 1.5, 2);
    Fill(cr, kBlack, 0.35);
    cairo_restore(cr);
    cairo_new_path(cr);
    shapePath(27);
    FillGloss(cr, rim, 32, 32, 28);
    Stroke(cr, kOutline, 2);
    cairo_new_path(cr);
    shapePath(20.5);
    FillGloss(cr, inner, 32, 32, 22);
    Stroke(cr, Mix(rim, kBlack, 0.4), 1.2);
    cairo_new_path(cr);
    DrawSymbol(cr, symbols[(i / 4) % 16], 32, 32, 24, kWhite, 0.45);
    // Higher tiers get little stars on the rim.
    for (int s = 0; s < tier; ++s) {
      double x = 32 + (s - (tier - 1) / 2.0) * 9;
      StarPath(cr, x, 56, 5, 4, 1.7, 0);
      Fill(cr, kWhite);
      Stroke(cr, kOutline, 0.8);
      cairo_new_path(cr);
    }
  }
}

// ---- fonts/editundo: the text font -----------------------------------------------------------

// Extra symbols in the cells past the printable ASCII range (codes 128 and up).
const std::uint32_t kExtraGlyphs[] = {0x2190, 0x2191, 0x2192, 0x2193, 0x2605, 0x2665,
                                      0x266A, 0x00A9, 0x2713, 0x2717, 0x2022, 0x2026,
                                      0x00B0, 0x00D7, 0x00F7, 0x00B1};

void PaintTextFont(Canvas& canvas, Fonts& fonts) {
  const int L = canvas.level();
  for (int i = 0; i < canvas.frames(); ++i) {
    int code = 32 + i;
    std::uint32_t cp = 0;
    if (code >= 33 && code <= 126) {
      cp = static_cast<std::uint32_t>(code);
    } else if (code >= 128 && code - 128 < static_cast<int>(std::size(kExtraGlyphs))) {
      cp = kExtraGlyphs[code - 128];
    }
    if (cp == 0) continue;
    const int k = cp < 128 ? TextKerning(static_cast<int>(cp)) : 0;
    // The text layout advances 7 + k units after each glyph and draws glyphs centred on the pen,
    // so each glyph's own box starts 3.5 units left of the pen: its ink sits centred in that box,
    // k / 2 units off the cell's centre, with a unit of space kept free.
    GlyphStyle style;
    style.pixelSize = 10.0 * L;
    style.maxInk = (7 + k - (L == 1 ? 1.0 : 1.25)) * L;
    style.centreX = (8 + k / 2.0) * L;
    style.baseline = static_cast<int>(std::floor(11.65 * L));
    // Anti-aliased with light (vertical-only) hinting at every level: bold strokes stay even
    // when a glyph is condensed, where 1-bit rendering thins some stems to one pixel.
    style.mono = false;
    style.boost = (L == 1);
    fonts.sans->DrawGlyph(canvas.surface(), canvas.FrameX(i), canvas.FrameY(i), 16 * L, 16 * L,
                          style, cp);
  }
}

}  // namespace

int TextKerning(int c) {
  return GameFontKerning(c);
}

void PaintDefaultFont(Canvas& canvas, Fonts& fonts) {
  for (int i = 0; i < kDefaultFontCells; ++i) {
    int code = 32 + i;
    if (code < 33 || code > 126) continue;
    GlyphStyle style;
    style.pixelSize = 12;
    style.maxInk = kDefaultFontCellW - 2;
    style.centreX = (kDefaultFontCellW - 2) / 2.0;
    style.baseline = 12;
    style.mono = true;
    // The inner cell only: the outer columns stay empty.
    fonts.mono->DrawGlyph(canvas.surface(), canvas.FrameX(i) + 1, canvas.FrameY(i),
                          kDefaultFontCellW - 2, kDefaultFontCellH, style,
                          static_cast<std::uint32_t>(code));
  }
}

void PaintImage(const ImageAsset& asset, Canvas& canvas, Fonts& fonts) {
  const std::string name = asset.name;
  if (name == "world001") {
    PaintWorld(canvas);
  } else if (name == "parts") {
    PaintParts(canvas);
  } else if (name == "common/icons") {
    PaintIcons(canvas);
  } else if (name == "common/Buttons") {
    PaintButtons(canvas);
  } else if (name == "common/QELDLogo") {
    PaintStudioLogo(canvas, fonts);
  } else if (name == "common/Testcard_Circle") {
    PaintTestcard(canvas, fonts);
  } else if (name == "logo") {
    PaintTitle(canvas, fonts);
  } else if (name == "menu") {
    PaintMenu(canvas, fonts);
  } else if (name == "common/dpad") {
    PaintDpad(canvas, fonts);
  } else if (name == "BadgesA") {
    PaintBadges(canvas);
  } else if (name == kTextFontName) {
    PaintTextFont(canvas, fonts);
  }
}

}  // namespace assetgen
