// Decoding image files: every PNG colour type the game might ship, a real PNG from a Debian package
// checked against ImageMagick's own decoder, and bad files that must give null without a crash.
#include <gtest/gtest.h>

#include <cstdio>
#include <string>
#include <vector>

#include "decode/ImageDecode.h"
#include "graphics/Renderer.h"
#include "graphics/Surface.h"
#include "tests/graphics/GraphicsTestSupport.h"
#include "tests/support/Process.h"

namespace {

struct Decoded {
  PixelBuffer pixels;
  int width = 0, height = 0, depth = 0;
};

Decoded Decode(const std::string& path) {
  Decoded d;
  d.pixels = LoadImageFile(String(path), &d.width, &d.height, &d.depth);
  return d;
}

std::vector<unsigned char> Pixels(const Decoded& d) {
  return {d.pixels.get(), d.pixels.get() + d.width * d.height * d.depth};
}

TEST(ImageDecoding, EveryEightBitColourTypeKeepsItsComponents) {
  TempDir dir;
  const std::vector<unsigned char> grey = {0, 128, 255, 7, 8, 9};
  const std::vector<unsigned char> greyAlpha = {10, 255, 20, 0, 30, 128};
  const std::vector<unsigned char> rgb = {1, 2, 3, 4, 5, 6, 7, 8, 9, 250, 251, 252};
  const std::vector<unsigned char> rgba = {200, 100, 50, 128, 0, 0, 0, 0};
  gfxtest::WritePng(dir.File("g.png"), 3, 2, 1, grey);
  gfxtest::WritePng(dir.File("ga.png"), 3, 1, 2, greyAlpha);
  gfxtest::WritePng(dir.File("rgb.png"), 2, 2, 3, rgb);
  gfxtest::WritePng(dir.File("rgba.png"), 1, 2, 4, rgba);
  struct Case {
    const char* name;
    int w, h, depth;
    const std::vector<unsigned char>& bytes;
  } cases[] = {{"g.png", 3, 2, 1, grey},
               {"ga.png", 3, 1, 2, greyAlpha},
               {"rgb.png", 2, 2, 3, rgb},
               {"rgba.png", 1, 2, 4, rgba}};
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    Decoded d = Decode(dir.File(c.name));
    ASSERT_TRUE(d.pixels);
    EXPECT_EQ(d.width, c.w);
    EXPECT_EQ(d.height, c.h);
    EXPECT_EQ(d.depth, c.depth);
    EXPECT_EQ(Pixels(d), c.bytes);
  }
}

TEST(ImageDecoding, PaletteAndSixteenBitFilesDecodeToEightBits) {
  TempDir dir;
  // A 2 x 2 palette image, 8-bit indices, with a transparent third entry.
  const std::vector<unsigned char> palette = {255, 0, 0, 0, 255, 0, 0, 0, 255};
  const std::vector<unsigned char> rows = {0, 0, 1, 0, 2, 0};
  gfxtest::WriteBytes(dir.File("pal.png"),
                      gfxtest::EncodePng(2, 2, 8, 3, rows, palette, {255, 255, 0}));
  Decoded pal = Decode(dir.File("pal.png"));
  ASSERT_TRUE(pal.pixels);
  EXPECT_EQ(pal.depth, 4);
  EXPECT_EQ(Pixels(pal), (std::vector<unsigned char>{255, 0, 0, 255, 0, 255, 0, 255,  //
                                                     0, 0, 255, 0, 255, 0, 0, 255}));

  // A 2 x 1 RGB image with 16 bits per component: the high byte survives.
  const std::vector<unsigned char> rows16 = {0,    0x12, 0x34, 0xAB, 0xCD, 0xFF, 0xFF,
                                             0x00, 0x01, 0x80, 0x00, 0x7F, 0xFF};
  gfxtest::WriteBytes(dir.File("rgb16.png"), gfxtest::EncodePng(2, 1, 16, 2, rows16));
  Decoded deep = Decode(dir.File("rgb16.png"));
  ASSERT_TRUE(deep.pixels);
  EXPECT_EQ(deep.depth, 3);
  EXPECT_EQ(Pixels(deep), (std::vector<unsigned char>{0x12, 0xAB, 0xFF, 0x00, 0x80, 0x7F}));
}

// An icon from the imagemagick-6.q16 package (16-bit RGBA), decoded independently by ImageMagick.
TEST(ImageDecoding, ARealPngFromADebianPackageMatchesImageMagick) {
  const std::string icon = "/usr/share/icons/hicolor/48x48/apps/display-im6.q16.png";
  if (!std::filesystem::exists(icon)) GTEST_SKIP() << icon << " is not installed";
  const std::string converted = ShellOutput("convert '" + icon + "' -depth 8 rgba:- 2>/dev/null");
  const std::vector<unsigned char> expected(converted.begin(), converted.end());
  if (expected.empty()) GTEST_SKIP() << "ImageMagick's convert is not available";

  Decoded d = Decode(icon);
  ASSERT_TRUE(d.pixels);
  ASSERT_EQ(d.width, 48);
  ASSERT_EQ(d.height, 48);
  ASSERT_EQ(d.depth, 4);
  ASSERT_EQ(expected.size(), 48u * 48 * 4);
  // 16 to 8 bits: stb_image keeps the high byte, ImageMagick rounds.
  int worst = 0, opaque = 0;
  for (size_t i = 0; i < expected.size(); ++i) {
    worst = std::max(worst, std::abs(int(expected[i]) - int(d.pixels[i])));
    if (i % 4 == 3 && d.pixels[i] == 255) ++opaque;
  }
  EXPECT_LE(worst, 1);
  EXPECT_GT(opaque, 100);  // a real picture, not an empty one
}

TEST(ImageDecoding, BadFilesGiveNull) {
  TempDir dir;
  std::vector<unsigned char> good;
  {
    gfxtest::WriteRgbaPng(dir.File("good.png"), 16, 16, [](int x, int y) {
      return std::array<unsigned char, 4>{static_cast<unsigned char>(x * 16),
                                          static_cast<unsigned char>(y * 16), 7, 255};
    });
    good = gfxtest::ReadBytes(dir.File("good.png"));
    ASSERT_GT(good.size(), 60u);
  }
  gfxtest::WriteBytes(dir.File("empty.png"), {});
  gfxtest::WriteBytes(dir.File("truncated.png"),
                      std::vector<unsigned char>(good.begin(), good.begin() + 45));
  std::vector<unsigned char> corrupt = good;
  for (size_t i = 41; i < corrupt.size() - 12; ++i) corrupt[i] = static_cast<unsigned char>(i * 37);
  gfxtest::WriteBytes(dir.File("corrupt.png"), corrupt);
  // A valid header claiming 1,000,000 x 1,000,000 pixels with a tiny image body.
  gfxtest::WriteBytes(dir.File("huge.png"),
                      gfxtest::EncodePng(1000000, 1000000, 8, 6, std::vector<unsigned char>(5)));
  gfxtest::WriteBytes(dir.File("wide.png"),
                      gfxtest::EncodePng(20000, 1, 8, 0, std::vector<unsigned char>(20001)));
  const std::string text = "This is not an image at all, just some words.\n";
  gfxtest::WriteBytes(dir.File("text.png"), std::vector<unsigned char>(text.begin(), text.end()));

  for (const char* name : {"missing.png", "empty.png", "truncated.png", "corrupt.png", "huge.png",
                           "wide.png", "text.png"}) {
    SCOPED_TRACE(name);
    int w = -1, h = -1, depth = -1;
    EXPECT_FALSE(LoadImageFile(String(dir.File(name)), &w, &h, &depth));
    gxtkGraphics gfx(64, 64, true);
    EXPECT_FALSE(gfx.LoadSurface(String(dir.File(name))));
  }
  EXPECT_FALSE(DecodeImage(nullptr, nullptr, nullptr, nullptr));
}

}  // namespace
