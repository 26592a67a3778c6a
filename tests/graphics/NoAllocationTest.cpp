// Drawing a frame allocates nothing on the heap: every primitive and sprite goes into the
// renderer's fixed vertex array. Counted with replaced global operator new (this test runs in its
// own executable so that the replacement touches nothing else).
#include <gtest/gtest.h>

#include "graphics/Graphics.h"
#include "tests/support/AllocationCounter.h"

namespace {

TEST(DrawingAFrame, AllocatesNothingOnTheHeap) {
  auto gfx = std::make_shared<gxtkGraphics>(640, 480, true);
  xq_graphics_SetGraphicsDevice(gfx);
  auto sheet = std::make_shared<c_Image>();
  sheet->p_Init2(gfx->CreateSurface(64, 64), 0, 0, 16, 16, 16, c_Image::HandleCentred, nullptr, 0,
                 0, 64, 64);
  const auto poly = Array<float>::Of({0, 0, 10, 0, 10, 10, 5, 15, 0, 10});

  AllocationCounter counter;
  gfx->BeginRender();
  xq_graphics_BeginRender();
  for (int i = 0; i < 2000; ++i) {
    xq_graphics_SetColor(static_cast<float>(i % 256), 10, 20);
    xq_graphics_SetAlpha(0.5f);
    xq_graphics_SetBlend(i % 300 == 0 ? 1 : 0);
    xq_graphics_PushMatrix();
    xq_graphics_Rotate(static_cast<float>(i));
    xq_graphics_DrawRect(1, 2, 3, 4);
    xq_graphics_DrawLine(0, 0, 5, 5);
    xq_graphics_DrawEllipse(50, 50, static_cast<float>(i % 40), 10);
    xq_graphics_PopMatrix();
    xq_graphics_DrawImage(sheet, 10, 10, i % 16);
    xq_graphics_DrawImage2(sheet, 100, 100, static_cast<float>(i), 2, 2, i % 16);
    gfx->DrawPoly(poly);
  }
  xq_graphics_EndRender();
  gfx->EndRender();

  EXPECT_EQ(counter.Count(), 0);
  EXPECT_GT(gfx->Stats().drawCalls, 100);
  xq_graphics_SetGraphicsDevice(nullptr);
}

}  // namespace
