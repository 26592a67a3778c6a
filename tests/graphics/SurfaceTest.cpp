// Surfaces without a window: premultiplication at load, the depth table, writes of ARGB pixels
// (clipped to the surface), and no texture before any window exists.
#include <gtest/gtest.h>

#include <vector>

#include "graphics/RenderBackend.h"
#include "graphics/Renderer.h"
#include "graphics/Surface.h"

namespace {

PixelBuffer Buffer(std::vector<unsigned char> bytes) {
  PixelBuffer out = AllocatePixels(bytes.size());
  std::copy(bytes.begin(), bytes.end(), out.get());
  return out;
}

std::vector<unsigned char> Stored(gxtkSurface& s) {
  return {s.Pixels(), s.Pixels() + s.Width() * s.Height() * s.Depth()};
}

TEST(Surface, ColourIsPremultipliedOnceWhenThePixelsArrive) {
  gxtkSurface rgba, greyAlpha, rgb, grey;
  rgba.SetData(Buffer({200, 100, 50, 128, 255, 255, 255, 0, 9, 8, 7, 255}), 3, 1, 4);
  greyAlpha.SetData(Buffer({200, 128, 77, 255}), 2, 1, 2);
  rgb.SetData(Buffer({200, 100, 50}), 1, 1, 3);
  grey.SetData(Buffer({33}), 1, 1, 1);
  EXPECT_EQ(Stored(rgba), (std::vector<unsigned char>{100, 50, 25, 128, 0, 0, 0, 0, 9, 8, 7, 255}));
  EXPECT_EQ(Stored(greyAlpha), (std::vector<unsigned char>{100, 128, 77, 255}));
  EXPECT_EQ(Stored(rgb), (std::vector<unsigned char>{200, 100, 50}));
  EXPECT_EQ(Stored(grey), (std::vector<unsigned char>{33}));
  EXPECT_EQ(rgba.Width(), 3);
  EXPECT_FLOAT_EQ(rgba.UScale(), 1.0f / 3);
}

TEST(Surface, WrittenArgbPixelsArePremultipliedAndClippedToTheSurface) {
  gxtkGraphics gfx(64, 64, true);
  auto s = gfx.CreateSurface(4, 2);
  ASSERT_TRUE(s);
  EXPECT_EQ(Stored(*s), std::vector<unsigned char>(32, 0));  // transparent black to start with
  auto source = Array<int>::Of({static_cast<int>(0x80C86432u), static_cast<int>(0xFF010203u),
                                static_cast<int>(0xFFFFFFFFu)});
  // A 3 x 2 rectangle at (2, 1) with pitch 3: one row and two columns land inside; the second
  // source row would start beyond the array and reads as 0.
  gfx.WritePixels2(s, source, 2, 1, 3, 2, 0, 3);
  const std::vector<unsigned char> stored = Stored(*s);
  EXPECT_EQ(std::vector<unsigned char>(stored.begin() + 24, stored.end()),
            (std::vector<unsigned char>{100, 50, 25, 128, 1, 2, 3, 255}));
  EXPECT_EQ(std::vector<unsigned char>(stored.begin(), stored.begin() + 24),
            std::vector<unsigned char>(24, 0));
  s->SetSubData(-5, -5, 100, 100, source, 1000, -7);  // all reads outside: zeros, no crash
  EXPECT_EQ(Stored(*s), std::vector<unsigned char>(32, 0));

  gxtkSurface rgb;
  rgb.SetData(Buffer({1, 2, 3}), 1, 1, 3);
  rgb.SetSubData(0, 0, 1, 1, source, 0, 1);
  EXPECT_EQ(Stored(rgb), (std::vector<unsigned char>{1, 2, 3}));
}

TEST(Surface, BindWithoutAHostsContextMakesNoTexture) {
  gxtkSurface s(MakeGlBackend());
  s.SetData(Buffer({1, 2, 3, 4}), 1, 1, 4);
  s.Bind();
  EXPECT_EQ(s.ContextSeq(), -1);
  EXPECT_EQ(s.Texture(), 0u);
  EXPECT_FALSE(s.HasTexture());
  EXPECT_TRUE(s.OnUnsafeLoadComplete());
  EXPECT_EQ(s.Discard(), 0);
  EXPECT_EQ(s.Pixels(), nullptr);
}

}  // namespace
