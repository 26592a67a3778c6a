// The drawings of every image of the game, one painter per image, drawn in design units so that
// each resolution level is rendered at its own size.
#pragma once

#include "tools/assetgen/Assets.h"
#include "tools/assetgen/Canvas.h"
#include "tools/assetgen/Glyphs.h"

namespace assetgen {

struct Fonts {
  std::unique_ptr<Typeface> sans;  // bold sans: text font, lettering
  std::unique_ptr<Typeface> mono;  // bold monospace: the framework's default font
};

// Paints all frames of `asset` onto a canvas made for it.
void PaintImage(const ImageAsset& asset, Canvas& canvas, Fonts& fonts);

// Paints the default font strip (one level).
void PaintDefaultFont(Canvas& canvas, Fonts& fonts);

// The player ball, centred in a 32 x 32 unit frame (the application icons draw it too).
void PaintBall(cairo_t* cr);
// The spike point of height 0-9, centred in a 32 x 32 unit frame.
void PaintSpike(cairo_t* cr, int h);

// Glyph advance adjustment of the game's text layout for character c (wider w/m, narrower i/l...).
int TextKerning(int c);

}  // namespace assetgen
