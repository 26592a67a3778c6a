// Real OpenGL drawing under the display named by DISPLAY (Xvfb with Mesa in the test script):
// pixels are drawn by the renderer and read back from the framebuffer, never mocked. Every test
// runs on both backends, each in a window whose context is made for it.
#include <gtest/gtest.h>

#include <unistd.h>

#include <array>
#include <cmath>
#include <optional>

#include "graphics/Graphics.h"
#include "graphics/RenderBackend.h"
#include "graphics/Renderer.h"
#include "graphics/Surface.h"
#include "tests/graphics/GraphicsTestSupport.h"

namespace {

constexpr int kSize = 256;

class GlDrawing : public ::testing::TestWithParam<XQRenderApi> {
 protected:
  void SetUp() override {
    GFX_REQUIRE_DISPLAY();
    if (!windowApi || *windowApi != GetParam()) {
      windowApi.reset();
      if (gfxtest::OpenGlWindow(kSize, kSize, GetParam())) windowApi = GetParam();
    }
    ASSERT_TRUE(windowApi) << "no window for the backend on " << std::getenv("DISPLAY");
    gfx = std::make_shared<gxtkGraphics>(GetParam());
    gfx->BeginRender();
    gfx->SetColor(255, 255, 255);
    gfx->SetAlpha(1);
    gfx->SetBlend(0);
    gfx->SetScissor(0, 0, gfx->Width(), gfx->Height());
    gfx->SetMatrix(1, 0, 0, 1, 0, 0);
    gfx->Cls(0, 0, 0);
  }
  void TearDown() override {
    if (gfx) gfx->EndRender();
    xq_graphics_EndRender();
    xq_graphics_SetGraphicsDevice(nullptr);
  }

  // The pixel's RGB as 0xRRGGBB.
  int Rgb(int x, int y) {
    Array<int> one(1);
    gfx->ReadPixels(one, x, y, 1, 1, 0, 1);
    return one[0] & 0xFFFFFF;
  }

  // Reopens the window with a context for the backend under test.
  void ReopenWindow() {
    windowApi.reset();
    ASSERT_TRUE(gfxtest::OpenGlWindow(kSize, kSize, GetParam()));
    windowApi = GetParam();
  }

  XQGlfwGame host;  // the renderer reads the window's size and swaps through the host
  std::shared_ptr<gxtkGraphics> gfx;
  TempDir dir;
  // The API of the window's context, when one is open.
  static std::optional<XQRenderApi> windowApi;
};
std::optional<XQRenderApi> GlDrawing::windowApi;

INSTANTIATE_TEST_SUITE_P(Backends, GlDrawing,
                         ::testing::Values(XQRenderApi::kGl1, XQRenderApi::kEs2),
                         [](const ::testing::TestParamInfo<XQRenderApi>& info) {
                           return info.param == XQRenderApi::kEs2 ? "Es2" : "Gl1";
                         });

int Channel(int rgb, int shift) {
  return (rgb >> shift) & 255;
}

#define EXPECT_RGB_NEAR(actual, r, g, b)                      \
  do {                                                        \
    const int rgb_ = (actual);                                \
    EXPECT_NEAR(Channel(rgb_, 16), r, 1) << std::hex << rgb_; \
    EXPECT_NEAR(Channel(rgb_, 8), g, 1) << std::hex << rgb_;  \
    EXPECT_NEAR(Channel(rgb_, 0), b, 1) << std::hex << rgb_;  \
  } while (0)

TEST_P(GlDrawing, ColoursReadBackPremultipliedByAlpha) {
  EXPECT_EQ(gfx->Width(), kSize);
  gfx->SetColor(255, 0, 0);
  gfx->DrawRect(0, 0, 10, 10);
  gfx->SetColor(40, 80, 160);
  gfx->SetAlpha(0.5f);
  gfx->DrawRect(20, 0, 10, 10);
  gfx->SetAlpha(1);
  gfx->SetColor(0, 255, 0);
  gfx->DrawPoint(40.5f, 0.5f);
  gfx->DrawLine(50, 0.5f, 60, 0.5f);
  EXPECT_EQ(Rgb(5, 5), 0xFF0000);
  EXPECT_RGB_NEAR(Rgb(25, 5), 20, 40, 80);
  EXPECT_EQ(Rgb(40, 0), 0x00FF00);
  EXPECT_EQ(Rgb(55, 0), 0x00FF00);
  EXPECT_EQ(Rgb(15, 5), 0);
}

TEST_P(GlDrawing, ScissorClipsDrawingAndClearingUntilTheWholeWindowIsGiven) {
  gfx->SetScissor(10, 20, 30, 40);
  gfx->Cls(0, 255, 0);
  gfx->SetColor(255, 0, 0);
  gfx->DrawRect(0, 0, 100, 25);
  EXPECT_EQ(Rgb(9, 30), 0);
  EXPECT_EQ(Rgb(10, 20), 0xFF0000);
  EXPECT_EQ(Rgb(39, 59), 0x00FF00);
  EXPECT_EQ(Rgb(40, 59), 0);
  EXPECT_EQ(Rgb(20, 60), 0);
  EXPECT_EQ(Rgb(50, 10), 0);
  gfx->SetScissor(0, 0, kSize, kSize);
  gfx->DrawRect(100, 100, 5, 5);
  EXPECT_EQ(Rgb(102, 102), 0xFF0000);
}

TEST_P(GlDrawing, AdditiveAndAlphaBlending) {
  gfx->Cls(100, 0, 200);
  gfx->SetBlend(1);
  gfx->SetColor(100, 50, 0);
  gfx->DrawRect(0, 0, 10, 10);
  gfx->SetBlend(0);
  gfx->SetColor(0, 0, 255);
  gfx->SetAlpha(0.5f);
  gfx->DrawRect(20, 0, 10, 10);
  gfx->SetBlend(2);  // alpha blending too
  gfx->DrawRect(40, 0, 10, 10);
  EXPECT_RGB_NEAR(Rgb(5, 5), 200, 50, 200);
  // 0.5 alpha: source (0, 0, 127, 127) over (100, 0, 200) gives 100 * 128/255 and 127 + 200 *
  // 128/255.
  EXPECT_RGB_NEAR(Rgb(25, 5), 50, 0, 227);
  EXPECT_RGB_NEAR(Rgb(45, 5), 50, 0, 227);
}

std::array<unsigned char, 4> Opaque(int x, int y) {
  return {static_cast<unsigned char>(x * 4), static_cast<unsigned char>(y * 4),
          static_cast<unsigned char>((x + y) * 2), 255};
}

TEST_P(GlDrawing, AnOpaqueImageAtWholePixelsReadsBackWithItsOwnColours) {
  gfxtest::WriteRgbaPng(dir.File("opaque.png"), 64, 64, Opaque);
  auto surface = gfx->LoadSurface(String(dir.File("opaque.png")));
  ASSERT_TRUE(surface);
  EXPECT_TRUE(surface->HasTexture());
  gfx->DrawSurface(surface, 0, 0);
  Array<int> pixels(64 * 64);
  gfx->ReadPixels(pixels, 0, 0, 64, 64, 0, 64);
  int wrong = 0;
  for (int y = 0; y < 64; ++y) {
    for (int x = 0; x < 64; ++x) {
      auto c = Opaque(x, y);
      if ((pixels[y * 64 + x] & 0xFFFFFF) != (c[0] << 16 | c[1] << 8 | c[2])) ++wrong;
    }
  }
  EXPECT_EQ(wrong, 0);
}

TEST_P(GlDrawing, TranslucentTexelsAreStoredPremultipliedAndBlendOverTheBackground) {
  gfxtest::WriteRgbaPng(dir.File("half.png"), 4, 4, [](int, int) {
    return std::array<unsigned char, 4>{200, 100, 50, 128};
  });
  auto surface = gfx->LoadSurface(String(dir.File("half.png")));
  ASSERT_TRUE(surface);
  const unsigned char* p = surface->Pixels();
  EXPECT_EQ((std::array<int, 4>{p[0], p[1], p[2], p[3]}), (std::array<int, 4>{100, 50, 25, 128}));
  gfx->DrawSurface(surface, 0, 0);
  gfx->SetScissor(10, 0, 10, 10);
  gfx->Cls(255, 255, 255);
  gfx->SetScissor(0, 0, kSize, kSize);
  gfx->DrawSurface(surface, 10, 0);
  // Tinted and faded by the current colour: half alpha halves every component once more.
  gfx->SetColor(255, 0, 255);
  gfx->SetAlpha(0.5f);
  gfx->DrawSurface(surface, 30, 0);
  EXPECT_RGB_NEAR(Rgb(1, 1), 100, 50, 25);
  EXPECT_RGB_NEAR(Rgb(11, 1), 227, 177, 152);
  EXPECT_RGB_NEAR(Rgb(31, 1), 50, 0, 12);
}

TEST_P(GlDrawing, GreyAndRgbImagesDrawAsStored) {
  gfxtest::WritePng(dir.File("grey.png"), 2, 1, 1, {60, 200});
  gfxtest::WritePng(dir.File("greyalpha.png"), 1, 1, 2, {200, 128});
  gfxtest::WritePng(dir.File("rgb.png"), 1, 1, 3, {10, 20, 30});
  auto grey = gfx->LoadSurface(String(dir.File("grey.png")));
  auto greyAlpha = gfx->LoadSurface(String(dir.File("greyalpha.png")));
  auto rgb = gfx->LoadSurface(String(dir.File("rgb.png")));
  ASSERT_TRUE(grey && greyAlpha && rgb);
  gfx->DrawSurface(grey, 0, 0);
  gfx->DrawSurface(greyAlpha, 4, 0);
  gfx->DrawSurface(rgb, 6, 0);
  EXPECT_EQ(Rgb(0, 0), 0x3C3C3C);
  EXPECT_EQ(Rgb(1, 0), 0xC8C8C8);
  EXPECT_RGB_NEAR(Rgb(4, 0), 100, 100, 100);
  EXPECT_EQ(Rgb(6, 0), 0x0A141E);
}

TEST_P(GlDrawing, TexturesAreMadeAgainAfterTheWindowIsReopened) {
  gfxtest::WriteRgbaPng(dir.File("opaque.png"), 64, 64, Opaque);
  auto surface = gfx->LoadSurface(String(dir.File("opaque.png")));
  ASSERT_TRUE(surface);
  const int firstSeq = surface->ContextSeq();
  gfx->EndRender();

  ReopenWindow();  // a new context: the old texture, program and buffers are gone
  EXPECT_FALSE(surface->HasTexture());
  gfx->BeginRender();
  gfx->Cls(0, 0, 0);
  gfx->SetColor(255, 255, 255);
  gfx->SetAlpha(1);
  gfx->DrawSurface(surface, 10, 10);
  EXPECT_EQ(Rgb(10 + 5, 10 + 7), 5 * 4 << 16 | 7 * 4 << 8 | 12 * 2);
  EXPECT_EQ(Rgb(10 + 63, 10 + 63), 252 << 16 | 252 << 8 | 252);
  EXPECT_EQ(surface->ContextSeq(), firstSeq + 1);
  EXPECT_TRUE(surface->HasTexture());
}

TEST_P(GlDrawing, ARejectedTextureSizeIsRetriedWithPowersOfTwo) {
  gfxtest::WriteRgbaPng(dir.File("odd.png"), 100, 60, [](int x, int y) {
    return std::array<unsigned char, 4>{static_cast<unsigned char>(x * 2),
                                        static_cast<unsigned char>(y * 4), 9, 255};
  });
  gxtkSurface::FailNextAllocations(1);
  auto surface = gfx->LoadSurface(String(dir.File("odd.png")));
  ASSERT_TRUE(surface);
  EXPECT_EQ(surface->TextureWidth(), 128);
  EXPECT_EQ(surface->TextureHeight(), 64);
  EXPECT_FLOAT_EQ(surface->UScale(), 1.0f / 128);
  EXPECT_FLOAT_EQ(surface->VScale(), 1.0f / 64);
  EXPECT_EQ(surface->Width(), 100);
  EXPECT_EQ(surface->Height(), 60);
  gfx->DrawSurface(surface, 0, 0);
  gfx->DrawSurface2(surface, 120, 0, 90, 50, 10, 10);
  EXPECT_EQ(Rgb(99, 59), 198 << 16 | 236 << 8 | 9);
  EXPECT_EQ(Rgb(100, 30), 0);
  EXPECT_EQ(Rgb(120, 0), 180 << 16 | 200 << 8 | 9);
  EXPECT_EQ(Rgb(129, 9), 198 << 16 | 236 << 8 | 9);
  EXPECT_EQ(Rgb(130, 5), 0);
}

TEST_P(GlDrawing, WrittenPixelsReachTheTextureInWholeRowsOrRowByRow) {
  auto surface = gfx->CreateSurface(16, 16);
  ASSERT_TRUE(surface);
  Array<int> rows(16 * 4);
  rows.Fill(static_cast<int>(0xFF00FF00u));  // opaque green, ARGB
  gfx->WritePixels2(surface, rows, 0, 0, 16, 4, 0, 16);
  Array<int> block(8 * 4);
  block.Fill(static_cast<int>(0x80FF0000u));  // half-transparent red
  gfx->WritePixels2(surface, block, 4, 8, 8, 4, 0, 8);
  gfx->DrawSurface(surface, 0, 0);
  EXPECT_EQ(Rgb(15, 3), 0x00FF00);
  EXPECT_RGB_NEAR(Rgb(5, 9), 128, 0, 0);
  EXPECT_EQ(Rgb(3, 9), 0);  // never written: transparent black
  EXPECT_EQ(Rgb(5, 12), 0);
  // Out-of-range rectangles are clipped, never written outside the surface.
  gfx->WritePixels2(surface, rows, 12, 14, 16, 4, 0, 16);
  gfx->WritePixels2(surface, rows, -100, -100, 16, 4, 0, 16);
  gfx->DrawSurface(surface, 20, 0);
  EXPECT_EQ(Rgb(20 + 15, 15), 0x00FF00);
  EXPECT_EQ(Rgb(20 + 11, 15), 0);
}

TEST_P(GlDrawing, AnImageTurnedAQuarterAndDoubledLandsCentredOnItsPosition) {
  // Left half red, right half blue, 8 x 4, handle at the centre.
  gfxtest::WriteRgbaPng(dir.File("halves.png"), 8, 4, [](int x, int) {
    return x < 4 ? std::array<unsigned char, 4>{255, 0, 0, 255}
                 : std::array<unsigned char, 4>{0, 0, 255, 255};
  });
  xq_graphics_SetGraphicsDevice(gfx);
  auto image = xq_graphics_LoadImage(String(dir.File("halves.png")), 1, c_Image::HandleCentred);
  ASSERT_TRUE(image);
  xq_graphics_BeginRender();
  xq_graphics_DrawImage2(image, 100, 50, 90, 2, 2, 0);
  // Turned counter-clockwise: the right (blue) half points up, the left (red) half down; 8 x 16.
  EXPECT_EQ(Rgb(97, 43), 0x0000FF);
  EXPECT_EQ(Rgb(102, 48), 0x0000FF);
  EXPECT_EQ(Rgb(97, 52), 0xFF0000);
  EXPECT_EQ(Rgb(103, 57), 0xFF0000);
  EXPECT_EQ(Rgb(95, 50), 0);
  EXPECT_EQ(Rgb(104, 50), 0);
  EXPECT_EQ(Rgb(100, 41), 0);
  EXPECT_EQ(Rgb(100, 58), 0);
  // The context's matrix did not change: a rectangle after it is drawn untransformed.
  xq_graphics_DrawRect(0, 0, 2, 2);
  EXPECT_EQ(Rgb(1, 1), 0xFFFFFF);
}

// The driver's refusal of a shader ends the program (status 255) with one line holding its log.
TEST(Es2Shaders, AShaderTheDriverRefusesEndsTheProgramWithItsLog) {
  GFX_REQUIRE_DISPLAY();
  GTEST_FLAG_SET(death_test_style, "threadsafe");
  EXPECT_EXIT(
      {
        dup2(2, 1);  // the line goes to standard output; the check reads standard error
        if (!gfxtest::OpenGlWindow(kSize, kSize, XQRenderApi::kEs2)) std::_Exit(1);
        BreakNextEs2ShaderForTesting();
        gxtkGraphics gfx(XQRenderApi::kEs2);
        gfx.BeginRender();
        std::_Exit(0);
      },
      ::testing::ExitedWithCode(255), "Cannot compile the drawing shaders: .*nonsense");
}

}  // namespace
