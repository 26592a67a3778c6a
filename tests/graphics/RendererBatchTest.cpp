// The renderer's batching, colour packing, transform and bounds, observed through a headless
// renderer's vertex array and stats record (no OpenGL needed).
#include <gtest/gtest.h>

#include <cmath>
#include <limits>

#include "graphics/Renderer.h"
#include "graphics/Surface.h"

namespace {

struct Bytes {
  int r, g, b, a;
};
Bytes ColorOf(const gxtkVertex& v) {
  return {static_cast<int>(v.color & 255), static_cast<int>((v.color >> 8) & 255),
          static_cast<int>((v.color >> 16) & 255), static_cast<int>(v.color >> 24)};
}

std::shared_ptr<gxtkSurface> SheetOf(gxtkGraphics& gfx, int w, int h) {
  return gfx.CreateSurface(w, h);
}

class RendererBatch : public ::testing::Test {
 protected:
  gxtkGraphics gfx{640, 480, true};
  void SetUp() override {
    gfx.BeginRender();
    gfx.SetColor(255, 255, 255);
    gfx.SetAlpha(1);
  }
};

TEST_F(RendererBatch, FullArrayOfPointsIsOneBatchAndTheNextPointStartsAnother) {
  for (int i = 0; i < 1024; ++i) gfx.DrawPoint(static_cast<float>(i), 1);
  EXPECT_EQ(gfx.Stats().flushes, 0);
  EXPECT_EQ(gfx.BatchCount(), 1024);
  gfx.DrawPoint(0, 0);
  EXPECT_EQ(gfx.Stats().flushFull, 1);
  EXPECT_EQ(gfx.BatchCount(), 1);
  gfx.EndRender();
  EXPECT_EQ(gfx.Stats().drawCalls, 2);
  EXPECT_EQ(gfx.Stats().vertices, 1025);
}

TEST_F(RendererBatch, TheTwoHundredFiftySeventhRectangleFlushes) {
  for (int i = 0; i < 256; ++i) gfx.DrawRect(0, 0, 1, 1);
  EXPECT_EQ(gfx.Stats().flushes, 0);
  gfx.DrawRect(0, 0, 1, 1);
  EXPECT_EQ(gfx.Stats().flushFull, 1);
  EXPECT_EQ(gfx.BatchCount(), 4);
}

TEST_F(RendererBatch, ColourAlphaAndMatrixChangesNeverEndABatch) {
  auto sheet = SheetOf(gfx, 32, 32);
  for (int i = 0; i < 100; ++i) {
    gfx.SetColor(static_cast<float>(i), 10, 200);
    gfx.SetAlpha(static_cast<float>(i) / 100);
    gfx.SetMatrix(1, 0.1f * static_cast<float>(i), 0, 1, static_cast<float>(i), 0);
    gfx.DrawSurface(sheet, 0, 0);
    gfx.DrawSurface2(sheet, 4, 4, 0, 0, 8, 8);
  }
  EXPECT_EQ(gfx.Stats().flushes, 0);
  EXPECT_EQ(gfx.BatchCount(), 800);
}

TEST_F(RendererBatch, KindOrTextureChangesEndTheBatch) {
  auto sheet = SheetOf(gfx, 8, 8);
  auto other = SheetOf(gfx, 8, 8);
  gfx.DrawSurface(sheet, 0, 0);
  gfx.DrawRect(0, 0, 4, 4);  // a quad too, but untextured
  gfx.DrawSurface(other, 0, 0);
  gfx.DrawLine(0, 0, 5, 5);
  gfx.DrawPoint(1, 1);
  EXPECT_EQ(gfx.Stats().flushKind, 4);
  gfx.EndRender();
  EXPECT_EQ(gfx.Stats().flushEndFrame, 1);
  EXPECT_EQ(gfx.Stats().drawCalls, 5);
  EXPECT_EQ(gfx.Stats().textureBinds, 2);
}

TEST_F(RendererBatch, RepeatingTheBlendOrScissorInForceKeepsTheBatch) {
  gfx.SetBlend(0);
  gfx.SetScissor(0, 0, 640, 480);
  gfx.DrawRect(0, 0, 1, 1);
  gfx.SetBlend(0);
  gfx.SetBlend(2);  // any mode but 1 is alpha blending
  gfx.SetScissor(0, 0, 640, 480);
  gfx.DrawRect(0, 0, 1, 1);
  EXPECT_EQ(gfx.Stats().flushes, 0);

  gfx.SetBlend(1);
  EXPECT_EQ(gfx.Stats().flushBlend, 1);
  gfx.DrawRect(0, 0, 1, 1);
  gfx.SetScissor(10, 10, 100, 100);
  EXPECT_EQ(gfx.Stats().flushScissor, 1);
  EXPECT_EQ(gfx.BlendInForce(), 1);

  // A new frame starts from alpha blending and an unknown clip rectangle.
  gfx.EndRender();
  gfx.BeginRender();
  EXPECT_EQ(gfx.BlendInForce(), 0);
  gfx.DrawRect(0, 0, 1, 1);
  gfx.SetScissor(10, 10, 100, 100);  // same rectangle as last frame, but no longer known
  EXPECT_EQ(gfx.Stats().flushScissor, 1);
}

TEST_F(RendererBatch, ClsDropsPrimitivesNotYetDrawn) {
  gfx.SetScissor(0, 0, 10, 10);
  for (int i = 0; i < 5; ++i) gfx.DrawRect(100, 100, 5, 5);  // outside the clip, too
  gfx.Cls(0, 0, 0);
  EXPECT_EQ(gfx.BatchCount(), 0);
  EXPECT_EQ(gfx.Stats().clsDrops, 1);
  EXPECT_EQ(gfx.Stats().droppedVertices, 20);
  gfx.EndRender();
  EXPECT_EQ(gfx.Stats().drawCalls, 0);
}

TEST_F(RendererBatch, ColourIsPremultipliedAndClampedBeforePacking) {
  gfx.SetColor(255, 0, 0);
  gfx.SetAlpha(0.5f);
  gfx.DrawPoint(0, 0);
  Bytes c = ColorOf(gfx.Vertices()[0]);
  EXPECT_EQ(c.r, 127);
  EXPECT_EQ(c.g, 0);
  EXPECT_EQ(c.b, 0);
  EXPECT_EQ(c.a, 127);

  // Out-of-range values must not spill into the neighbouring byte.
  gfx.SetColor(300, -40, std::numeric_limits<float>::quiet_NaN());
  gfx.SetAlpha(7);
  gfx.DrawPoint(0, 0);
  c = ColorOf(gfx.Vertices()[1]);
  EXPECT_EQ(c.r, 255);
  EXPECT_EQ(c.g, 0);
  EXPECT_EQ(c.b, 0);
  EXPECT_EQ(c.a, 255);
  gfx.SetAlpha(-1);
  EXPECT_EQ(gfx.PackedColor(), 0u);
}

// A sprite's quad carries its own matrix and the colour of the moment; the primitive after it is
// drawn under the current matrix and in the colour set since.
TEST_F(RendererBatch, ASpriteQuadUsesItsOwnMatrixAndLeavesTheCurrentOne) {
  auto sheet = SheetOf(gfx, 16, 8);
  gfx.SetMatrix(1, 0, 0, 1, 100, 0);
  gfx.SetColor(255, 0, 0);
  // A quarter turn, doubled, at (10, 20): the 8 x 4 frame at (4, 0) of the sheet.
  gfx.DrawSurface2Under(sheet, 0, 2, -2, 0, 10, 20, 4, 0, 8, 4);
  gfx.SetColor(0, 0, 255);
  gfx.DrawSurface2(sheet, 0, 0, 0, 0, 1, 1);
  const gxtkVertex* v = gfx.Vertices();
  const float corners[4][2] = {{10, 20}, {10, 36}, {2, 36}, {2, 20}};
  const float uv[4][2] = {{0.25f, 0}, {0.75f, 0}, {0.75f, 0.5f}, {0.25f, 0.5f}};
  for (int i = 0; i < 4; ++i) {
    EXPECT_FLOAT_EQ(v[i].x, corners[i][0]) << i;
    EXPECT_FLOAT_EQ(v[i].y, corners[i][1]) << i;
    EXPECT_FLOAT_EQ(v[i].u, uv[i][0]) << i;
    EXPECT_FLOAT_EQ(v[i].v, uv[i][1]) << i;
    EXPECT_EQ(ColorOf(v[i]).r, 255);
  }
  EXPECT_FLOAT_EQ(v[4].x, 100);
  EXPECT_EQ(ColorOf(v[4]).r, 0);
  EXPECT_EQ(ColorOf(v[4]).b, 255);
  EXPECT_EQ(gfx.BatchCount(), 8);
}

TEST_F(RendererBatch, OvalSegmentsFollowTheSizeOnScreen) {
  gfx.DrawOval(0, 0, 100, 50);
  EXPECT_EQ(gfx.BatchKind(), 72);
  gfx.DrawOval(0, 0, 10, 10);
  EXPECT_EQ(gfx.BatchKind(), 12);
  gfx.DrawOval(0, 0, 4000, 4000);
  EXPECT_EQ(gfx.BatchKind(), 1024);
  EXPECT_EQ(gfx.BatchCount(), 1024);
  gfx.DrawOval(0, 0, std::numeric_limits<float>::infinity(), 1);
  EXPECT_EQ(gfx.BatchKind(), 1024);
  gfx.DrawOval(0, 0, std::numeric_limits<float>::quiet_NaN(), 1);
  EXPECT_EQ(gfx.BatchKind(), 12);

  // Under a transform the transformed radii count: 10 x 10 scaled by 4 is 20 + 20.
  gfx.SetMatrix(4, 0, 0, 4, 0, 0);
  gfx.DrawOval(0, 0, 10, 10);
  EXPECT_EQ(gfx.BatchKind(), 40);

  // The first point is the right end of the horizontal axis; points run counter-clockwise.
  gfx.SetMatrix(1, 0, 0, 1, 0, 0);
  gfx.DrawOval(0, 0, 100, 50);
  const gxtkVertex* v = gfx.Vertices();
  EXPECT_NEAR(v[0].x, 100, 1e-3);
  EXPECT_NEAR(v[0].y, 25, 1e-3);
  EXPECT_NEAR(v[18].x, 50, 1e-3);  // a quarter turn on: the top
  EXPECT_NEAR(v[18].y, 0, 1e-3);
}

TEST_F(RendererBatch, OvalsOfOneSizeShareBatchesAndDrawCalls) {
  for (int i = 0; i < 14; ++i) gfx.DrawOval(0, 0, 100, 50);  // 14 x 72 = 1008 vertices
  EXPECT_EQ(gfx.Stats().flushes, 0);
  gfx.DrawOval(0, 0, 100, 50);
  EXPECT_EQ(gfx.Stats().flushFull, 1);
  EXPECT_EQ(gfx.Stats().drawCalls, 1);
}

TEST_F(RendererBatch, PolygonSizesOutsideTheArrayDrawNothing) {
  gfx.DrawPoly(Array<float>(0));
  gfx.DrawPoly(Array<float>(2050));
  EXPECT_EQ(gfx.BatchCount(), 0);
  gfx.DrawPoly(Array<float>::Of({5, 6, 7}));  // one point; the odd value is ignored
  EXPECT_EQ(gfx.BatchKind(), 1);
  EXPECT_FLOAT_EQ(gfx.Vertices()[0].x, 5);
  gfx.DrawPoly(Array<float>::Of({0, 0, 1, 0, 1, 1, 0, 1}));  // joins the quads
  EXPECT_EQ(gfx.BatchKind(), 4);
  gfx.DrawPoly(Array<float>(2048));
  EXPECT_EQ(gfx.BatchKind(), 1024);
  gfx.DrawPoly2(Array<float>::Of({0, 0, 0, 0}), nullptr, 0, 0);
  EXPECT_EQ(gfx.BatchKind(), 1024);
}

TEST_F(RendererBatch, TexturedPolygonsUseSurfacePixelsForCoordinates) {
  auto sheet = SheetOf(gfx, 64, 32);
  gfx.DrawPoly2(Array<float>::Of({0, 0, 0, 0, 10, 0, 16, 0, 10, 10, 16, 8}), sheet, 16, 8);
  const gxtkVertex* v = gfx.Vertices();
  EXPECT_FLOAT_EQ(v[0].u, 16.0f / 64);
  EXPECT_FLOAT_EQ(v[0].v, 8.0f / 32);
  EXPECT_FLOAT_EQ(v[2].u, 32.0f / 64);
  EXPECT_FLOAT_EQ(v[2].v, 16.0f / 32);
  gfx.DrawSurface2(sheet, 0, 0, 16, 0, 16, 16);  // a new batch: quads, not triangles
  v = gfx.Vertices();
  EXPECT_EQ(gfx.BatchKind(), 4);
  EXPECT_FLOAT_EQ(v[0].u, 0.25f);
  EXPECT_FLOAT_EQ(v[2].u, 0.5f);
  EXPECT_FLOAT_EQ(v[2].v, 0.5f);
  EXPECT_FLOAT_EQ(v[2].x, 16);
}

TEST(RendererOutsideAFrame, DrawingAndStateCallsDoNothing) {
  gxtkGraphics gfx(320, 200, true);
  gfx.DrawRect(0, 0, 10, 10);
  gfx.DrawOval(0, 0, 10, 10);
  gfx.DrawPoly(Array<float>::Of({1, 2}));
  gfx.SetBlend(1);
  gfx.SetScissor(1, 2, 3, 4);
  gfx.Cls(1, 2, 3);
  EXPECT_EQ(gfx.Begin(4, 4, nullptr), nullptr);
  EXPECT_EQ(gfx.BatchCount(), 0);
  EXPECT_EQ(gfx.EndRender(), 0);
  EXPECT_EQ(gfx.Stats().drawCalls, 0);
  gfx.BeginRender();
  gfx.EndRender();
  gfx.DrawRect(0, 0, 10, 10);  // after the frame ended
  EXPECT_EQ(gfx.BatchCount(), 0);
  EXPECT_EQ(gfx.Width(), 320);
  EXPECT_EQ(gfx.Height(), 200);
}

TEST(RendererPixels, HeadlessReadsZerosAndNeverWritesOutsideTheArray) {
  gxtkGraphics gfx(64, 64, true);
  gfx.BeginRender();
  gfx.DrawRect(0, 0, 4, 4);
  Array<int> pixels(20);
  pixels.Fill(-1);
  gfx.ReadPixels(pixels, 0, 0, 4, 4, 2, 5);  // rows at 2, 7, 12 fit; the row at 17 does not
  EXPECT_EQ(gfx.Stats().flushPixels, 1);
  EXPECT_EQ(pixels[1], -1);
  EXPECT_EQ(pixels[2], 0);
  EXPECT_EQ(pixels[15], 0);
  EXPECT_EQ(pixels[17], -1);
  gfx.ReadPixels(pixels, 0, 0, 4, 4, -8, 5);
  gfx.ReadPixels(pixels, 0, 0, 100000, 100000, 0, 0);
  gfx.ReadPixels(pixels, 0, 0, -3, 4, 0, 4);
  gfx.EndRender();
}

}  // namespace
