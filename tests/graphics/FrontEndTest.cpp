// The drawing front end over a headless renderer: images cut into frames, flags and handles, the
// matrix stack and its lazy hand-over, the per-frame reset, fonts, and what bad calls do.
#include <gtest/gtest.h>
#include <unistd.h>

#include <array>
#include <filesystem>

#include "graphics/Graphics.h"
#include "tests/graphics/GraphicsTestSupport.h"

namespace {

std::array<unsigned char, 4> White(int, int) {
  return {255, 255, 255, 255};
}

class FrontEnd : public ::testing::Test {
 protected:
  void SetUp() override {
    xq_graphics_context = std::make_shared<c_GraphicsContext>();
    gfx = std::make_shared<gxtkGraphics>(640, 480, true);
    xq_graphics_SetGraphicsDevice(gfx);
  }
  void TearDown() override {
    xq_graphics_EndRender();
    xq_graphics_SetGraphicsDevice(nullptr);
  }
  void Frame() {
    gfx->BeginRender();
    xq_graphics_BeginRender();
  }
  std::shared_ptr<c_Image> Load(int w, int h, int frameCount, int flags) {
    gfxtest::WriteRgbaPng(dir.File("img.png"), w, h, White);
    return xq_graphics_LoadImage(String(dir.File("img.png")), frameCount, flags);
  }
  std::shared_ptr<c_Image> LoadGrid(int w, int h, int fw, int fh, int count, int flags) {
    gfxtest::WriteRgbaPng(dir.File("grid.png"), w, h, White);
    return xq_graphics_LoadImage2(String(dir.File("grid.png")), fw, fh, count, flags);
  }

  std::shared_ptr<gxtkGraphics> gfx;
  TempDir dir;
};

std::vector<std::pair<int, int>> Positions(const c_Image& image) {
  std::vector<std::pair<int, int>> out;
  for (const c_Frame& f : image.frames) out.emplace_back(f.x, f.y);
  return out;
}

TEST_F(FrontEnd, GridFramesRunLeftToRightThenTopToBottom) {
  auto image = LoadGrid(64, 32, 16, 16, 8, 0);
  ASSERT_TRUE(image);
  EXPECT_EQ(Positions(*image),
            (std::vector<std::pair<int, int>>{
                {0, 0}, {16, 0}, {32, 0}, {48, 0}, {0, 16}, {16, 16}, {32, 16}, {48, 16}}));
  EXPECT_EQ(image->width, 16);
  EXPECT_EQ(image->height, 16);
  EXPECT_FALSE(image->flags & c_Image::WholeSurface);
}

TEST_F(FrontEnd, AGridThatDoesNotFitItsFileEndsTheProgram) {
  GTEST_FLAG_SET(death_test_style, "threadsafe");  // OpenGL tests may have started threads
  gfxtest::WriteRgbaPng(dir.File("grid.png"), 64, 32, White);
  const String path(dir.File("grid.png"));
  auto run = [&](int fw, int fh, int count) {
    std::freopen("/dev/null", "r", stdin);  // the debugger stop finds no commands
    dup2(2, 1);                             // the message goes to standard output
    xq_graphics_LoadImage2(path, fw, fh, count, 0);
    std::exit(0);
  };
  EXPECT_EXIT(run(16, 16, 9), ::testing::ExitedWithCode(255),
              "Kestro Runtime Error : Image frame outside surface");
  EXPECT_EXIT(run(65, 16, 1), ::testing::ExitedWithCode(255), "Image frame outside surface");
}

TEST_F(FrontEnd, PaddingShrinksFramesAndMovesThemInside) {
  auto image = LoadGrid(36, 18, 18, 18, 2, c_Image::PadX | c_Image::PadY);
  ASSERT_TRUE(image);
  EXPECT_EQ(image->width, 16);
  EXPECT_EQ(image->height, 16);
  EXPECT_EQ(Positions(*image), (std::vector<std::pair<int, int>>{{1, 1}, {19, 1}}));
}

TEST_F(FrontEnd, OnlyAnUnpaddedSingleFrameCoversTheWholeSurface) {
  auto whole = Load(20, 10, 1, 0);
  ASSERT_TRUE(whole);
  EXPECT_TRUE(whole->flags & c_Image::WholeSurface);
  auto padded = Load(20, 10, 1, c_Image::PadX);
  EXPECT_FALSE(padded->flags & c_Image::WholeSurface);
  auto strip = Load(20, 10, 4, 0);
  EXPECT_FALSE(strip->flags & c_Image::WholeSurface);
  EXPECT_EQ(strip->width, 5);
  EXPECT_EQ(Positions(*strip),
            (std::vector<std::pair<int, int>>{{0, 0}, {5, 0}, {10, 0}, {15, 0}}));
}

TEST_F(FrontEnd, ACentredHandleSitsInTheMiddleOfTheFrameAndIsNotKeptAsAFlag) {
  auto image = Load(32, 20, 1, c_Image::HandleCentred);
  ASSERT_TRUE(image);
  EXPECT_FLOAT_EQ(image->handleX, 16);
  EXPECT_FLOAT_EQ(image->handleY, 10);
  EXPECT_EQ(image->flags & c_Image::HandleCentred, 0);
  image->p_SetHandle(3, 4);
  EXPECT_FLOAT_EQ(image->handleX, 3);

  Frame();
  xq_graphics_DrawImage(image, 100, 50, 0);
  const gxtkVertex* v = gfx->Vertices();
  EXPECT_FLOAT_EQ(v[0].x, 97);
  EXPECT_FLOAT_EQ(v[0].y, 46);
  EXPECT_FLOAT_EQ(v[2].x, 129);
  EXPECT_FLOAT_EQ(v[2].y, 66);
}

TEST_F(FrontEnd, UnloadableImagesAndBadCountsGiveNull) {
  EXPECT_FALSE(xq_graphics_LoadImage(String(dir.File("missing.png")), 1, 0));
  EXPECT_FALSE(Load(16, 16, 0, 0));
  EXPECT_FALSE(Load(16, 16, -3, 0));
  EXPECT_FALSE(LoadGrid(16, 16, 0, 16, 1, 0));
  EXPECT_FALSE(LoadGrid(16, 16, 16, 16, 0, 0));
  xq_graphics_SetGraphicsDevice(nullptr);
  EXPECT_FALSE(Load(16, 16, 1, 0));
}

TEST_F(FrontEnd, ShortNamesAreReadFromTheDataFolder) {
  std::filesystem::create_directories(dir.File("data"));
  gfxtest::WriteRgbaPng(dir.File("data/dovu_font.png"), 96 * 6, 8, White);
  const auto previous = std::filesystem::current_path();
  std::filesystem::current_path(dir.Path());
  auto image = xq_graphics_LoadImage(String("dovu_font.png"), 96, 0);
  xq_graphics_SetFont(nullptr, 0);
  std::filesystem::current_path(previous);

  ASSERT_TRUE(image);
  EXPECT_EQ(image->frames.Length(), 96);
  const auto& g = *xq_graphics_context;
  ASSERT_TRUE(g.font);
  EXPECT_EQ(g.font, g.defaultFont);
  EXPECT_EQ(g.firstChar, 32);
  EXPECT_EQ(g.font->width, 4);  // 6-pixel cells with a border left and right
  EXPECT_EQ(g.font->frames[1].x, 7);

  xq_graphics_SetFont(image, 65);
  EXPECT_EQ(xq_graphics_context->font, image);
  EXPECT_EQ(xq_graphics_context->firstChar, 65);
}

TEST_F(FrontEnd, AMissingDefaultFontLeavesNoFontAndIsNotLookedForAgain) {
  const auto previous = std::filesystem::current_path();
  std::filesystem::current_path(dir.Path());
  xq_graphics_SetFont(nullptr, 99);
  EXPECT_FALSE(xq_graphics_context->font);
  EXPECT_EQ(xq_graphics_context->firstChar, 32);

  // The failure is remembered: a font file appearing later is not read by the next selection.
  std::filesystem::create_directories(dir.File("data"));
  gfxtest::WriteRgbaPng(dir.File("data/dovu_font.png"), 96 * 6, 8, White);
  xq_graphics_SetFont(nullptr, 0);
  std::filesystem::current_path(previous);
  EXPECT_FALSE(xq_graphics_context->font);
}

TEST_F(FrontEnd, EveryFrameStartsFromTheDefaults) {
  Frame();
  xq_graphics_SetColor(10, 20, 30);
  xq_graphics_SetAlpha(0.25f);
  xq_graphics_SetBlend(1);
  xq_graphics_SetScissor(5.9f, 6.2f, 100.7f, 50.1f);
  xq_graphics_PushMatrix();
  xq_graphics_Translate(40, 0);
  xq_graphics_EndRender();
  gfx->EndRender();

  Frame();
  const auto& g = *xq_graphics_context;
  EXPECT_EQ(g.red, 255);
  EXPECT_EQ(g.alpha, 1);
  EXPECT_EQ(g.blend, 0);
  EXPECT_EQ(g.scissorWidth, 640);
  EXPECT_EQ(g.stackTop, 0);
  EXPECT_EQ(g.transformed, 0);
  EXPECT_EQ(gfx->PackedColour(), 0xFFFFFFFFu);
  EXPECT_EQ(gfx->BlendInForce(), 0);
  xq_graphics_DrawRect(1, 2, 3, 4);
  EXPECT_FALSE(gfx->Transformed());
  EXPECT_FLOAT_EQ(gfx->Vertices()[0].x, 1);
}

TEST_F(FrontEnd, ThePoppedMatrixReachesTheRendererAtTheNextDrawingCall) {
  Frame();
  xq_graphics_Translate(5, 7);
  xq_graphics_PushMatrix();
  xq_graphics_Translate(10, 0);
  xq_graphics_Rotate(90);
  EXPECT_FALSE(gfx->Transformed());  // nothing drawn yet: nothing sent
  xq_graphics_DrawRect(1, 0, 1, 1);
  EXPECT_NEAR(gfx->Vertices()[0].x, 15, 1e-5);
  EXPECT_NEAR(gfx->Vertices()[0].y, 6, 1e-5);  // a positive angle turns counter-clockwise
  xq_graphics_PopMatrix();
  const auto& g = *xq_graphics_context;
  EXPECT_EQ(g.tx, 5);
  EXPECT_EQ(g.a, 1);
  EXPECT_EQ(g.matrixDirty, 1);
  xq_graphics_DrawRect(1, 0, 1, 1);
  EXPECT_NEAR(gfx->Vertices()[4].x, 6, 1e-5);
  EXPECT_NEAR(gfx->Vertices()[4].y, 7, 1e-5);

  xq_graphics_SetMatrix2(Array<float>::Of({2, 0, 0, 2, 0, 0}));
  xq_graphics_Transform2(Array<float>::Of({1, 0, 0, 1, 3, 3}));
  xq_graphics_Scale(0.5f, 0.5f);
  EXPECT_EQ(g.tx, 6);
  EXPECT_EQ(g.transformed, 1);
  xq_graphics_SetMatrix(1, 0, 0, 1, 0, 0);
  EXPECT_EQ(g.transformed, 0);
}

TEST_F(FrontEnd, TheMatrixStackNeverReachesOutsideItsThirtyTwoLevels) {
  Frame();
  auto& g = *xq_graphics_context;
  xq_graphics_PopMatrix();  // empty: the matrix stays
  xq_graphics_Translate(1, 0);
  xq_graphics_PopMatrix();
  EXPECT_EQ(g.tx, 1);
  EXPECT_EQ(g.stackTop, 0);

  for (int i = 0; i < 40; ++i) {
    xq_graphics_PushMatrix();
    xq_graphics_Translate(1, 0);
  }
  EXPECT_EQ(g.stackTop, 32 * 6);
  EXPECT_EQ(g.matrixStack.Length(), 32 * 6);
  EXPECT_EQ(g.tx, 41);
  // The pops of refused pushes change nothing; the 32 real levels still pair with their pushes.
  for (int i = 0; i < 8; ++i) xq_graphics_PopMatrix();
  EXPECT_EQ(g.tx, 41);
  for (int i = 0; i < 31; ++i) xq_graphics_PopMatrix();
  EXPECT_EQ(g.tx, 2);
  xq_graphics_PopMatrix();
  EXPECT_EQ(g.tx, 1);
  EXPECT_EQ(g.stackTop, 0);

  // A sprite drawn with the stack full still gets its own matrix and leaves the context's alone.
  auto image = Load(4, 4, 1, 0);
  for (int i = 0; i < 32; ++i) xq_graphics_PushMatrix();
  xq_graphics_DrawImage2(image, 100, 100, 0, 2, 2, 0);
  EXPECT_FLOAT_EQ(gfx->Vertices()[2].x, 109);
  EXPECT_EQ(g.tx, 1);
}

TEST_F(FrontEnd, BadFramesImagesAndCallsOutsideAFrameDrawNothing) {
  auto image = Load(16, 8, 2, 0);
  ASSERT_TRUE(image);
  // Outside a frame: state is kept, nothing reaches the renderer, nothing is drawn.
  xq_graphics_SetColor(1, 2, 3);
  xq_graphics_SetScissor(1, 1, 1, 1);
  xq_graphics_Cls(0, 0, 0);
  xq_graphics_DrawRect(0, 0, 5, 5);
  xq_graphics_DrawImage(image, 0, 0, 0);
  xq_graphics_DrawImage2(image, 0, 0, 0, 1, 1, 0);
  EXPECT_EQ(xq_graphics_context->red, 1);
  EXPECT_EQ(gfx->BatchCount(), 0);

  Frame();
  xq_graphics_DrawImage(image, 0, 0, 2);
  xq_graphics_DrawImage(image, 0, 0, -1);
  xq_graphics_DrawImage2(image, 0, 0, 0, 1, 1, 99);
  xq_graphics_DrawImage(nullptr, 0, 0, 0);
  xq_graphics_DrawImage2(nullptr, 0, 0, 0, 1, 1, 0);
  EXPECT_EQ(gfx->BatchCount(), 0);
  xq_graphics_DrawImage(image, 0, 0, 1);
  EXPECT_EQ(gfx->BatchCount(), 4);
  EXPECT_FLOAT_EQ(gfx->Vertices()[0].u, 8.0f / 16);

  // No renderer or no context at all: still nothing harmful.
  xq_graphics_SetGraphicsDevice(nullptr);
  xq_graphics_BeginRender();
  xq_graphics_DrawRect(0, 0, 1, 1);
  EXPECT_EQ(xq_graphics_DeviceWidth(), 0);
  xq_graphics_context.reset();
  xq_graphics_PushMatrix();
  xq_graphics_Translate(1, 1);
  xq_graphics_SetColor(1, 1, 1);
  xq_graphics_DrawImage2(image, 0, 0, 0, 1, 1, 0);
  xq_graphics_SetFont(nullptr, 32);
}

TEST_F(FrontEnd, SpritesFromOneSheetShareBatchesOfTwoHundredFiftySixQuads) {
  auto sheet = LoadGrid(64, 64, 16, 16, 16, c_Image::HandleCentred);
  ASSERT_TRUE(sheet);
  Frame();
  for (int i = 0; i < 1000; ++i) {
    xq_graphics_SetColor(static_cast<float>(i % 256), 128, 255);
    xq_graphics_SetAlpha(static_cast<float>(i % 10) / 10);
    xq_graphics_DrawImage2(sheet, static_cast<float>(i), 240, static_cast<float>(i), 1.5f, 0.5f,
                           i % 16);
    if (i % 100 == 0) xq_graphics_Translate(1, 1);
  }
  xq_graphics_EndRender();
  gfx->EndRender();
  EXPECT_EQ(gfx->Stats().drawCalls, 4);
  EXPECT_EQ(gfx->Stats().flushFull, 3);
  EXPECT_EQ(gfx->Stats().vertices, 4000);
}

}  // namespace
