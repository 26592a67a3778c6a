// The game's draw state, display-list records, text in the game font and the pointer buttons.
#include <gtest/gtest.h>

#include <cmath>

#include "game/Globals.h"
#include "tests/game/GameHarness.h"

namespace {

class GameDraw : public testing::Test {
 protected:
  void SetUp() override { app().p_CLS2D(); }
  c_MyApp& app() { return game_.App(); }
  std::vector<DrawRecord> Glyphs() { return game_.ImageRecords(app().fontSlot); }

  GameHarness game_;
};

}  // namespace

TEST_F(GameDraw, RecordsCarryTheDrawStateSetBeforeThemAndANewScreenStartsAfresh) {
  app().p_SetCol(1, 2, 3, 0.5f);
  app().p_SetRot(30);
  app().drawBlend = DrawRecord::kBlendAdditive;
  app().p_Rect(1, 2, 3, 4);
  // A colour without alpha keeps the alpha it had.
  app().p_Alpha(0.25f);
  app().p_SetCol(255, 0, 0);
  app().p_Rect(5, 6, 7, 8);
  std::vector<DrawRecord> records = game_.Records();
  ASSERT_EQ(records.size(), 2u);
  EXPECT_TRUE(records[0].IsRect());
  EXPECT_EQ(records[0].x, 1);
  EXPECT_EQ(records[0].scaleY, 4);
  EXPECT_EQ(records[0].rotation, -30);  // kept negated
  EXPECT_EQ(records[0].alpha, 0.5f);
  EXPECT_EQ(records[0].red, 1);
  EXPECT_EQ(records[0].blue, 3);
  EXPECT_EQ(records[0].blend, DrawRecord::kBlendAdditive);
  EXPECT_EQ(records[1].alpha, 0.25f);
  EXPECT_EQ(records[1].red, 255);

  // A new screen empties the list and resets the state.
  app().p_CLS2D(10, 20, 30, 0.5f);
  EXPECT_TRUE(game_.Records().empty());
  app().p_Rect(1, 2, 3, 4);
  records = game_.Records();
  ASSERT_EQ(records.size(), 1u);
  EXPECT_EQ(records[0].rotation, 0);
  EXPECT_EQ(records[0].alpha, 1);
  EXPECT_EQ(records[0].blend, DrawRecord::kBlendNormal);
}

TEST_F(GameDraw, TheDisplayListHoldsAtMost2499Records) {
  for (int i = 0; i < 3000; ++i) app().p_Oval(1, 2, 3, 4);
  EXPECT_EQ(app().drawCount, 2499 * kRecordFloats);
  // Buttons still test the pointer when their record no longer fits.
  app().mouseDown = 1;
  app().touchX[0] = 100;
  app().touchY[0] = 100;
  app().SetImageInfo(Image::Buttons, 64, 64, app().FrameCount(Image::Buttons));
  app().imageScale = 1;
  EXPECT_EQ(app().p_Button(Image::Buttons, 100, 100, 0), 1);
  EXPECT_EQ(app().drawCount, 2499 * kRecordFloats);
}

TEST_F(GameDraw, TextPlacesGlyphsByAdvanceAndKerning) {
  app().p_Text(100, 50, String("Hi"), 0, 0);
  auto glyphs = Glyphs();
  ASSERT_EQ(glyphs.size(), 2u);
  EXPECT_EQ(glyphs[0].frame, 'H' - 32);
  EXPECT_EQ(glyphs[0].x, 100);
  EXPECT_EQ(glyphs[0].y, 55);
  EXPECT_EQ(glyphs[1].frame, 'i' - 32);
  EXPECT_EQ(glyphs[1].x, 107);
  EXPECT_EQ(glyphs[1].y, 55);

  // Kerning: "w" +2, "W" +1, "l" -3, "t" -1; spaces advance without a glyph.
  app().p_CLS2D();
  app().p_Text(0, 0, String("wWl t."), 0, 1);
  glyphs = Glyphs();
  ASSERT_EQ(glyphs.size(), 5u);
  EXPECT_EQ(glyphs[0].x, 0);
  EXPECT_EQ(glyphs[1].x, 9);
  EXPECT_EQ(glyphs[2].x, 17);
  EXPECT_EQ(glyphs[3].x, 28);
  EXPECT_EQ(glyphs[4].x, 34);
  EXPECT_EQ(glyphs[0].y, 0);
}

TEST_F(GameDraw, TextAlignsOnGlyphCentresAndScales) {
  // "Hi" is 11 wide: centred, its first glyph sits 5.5 left of x (truncated).
  app().p_Text(100, 50, String("Hi"), 1, 1);
  auto glyphs = Glyphs();
  ASSERT_EQ(glyphs.size(), 2u);
  EXPECT_EQ(glyphs[0].x, 94);
  EXPECT_EQ(glyphs[0].y, 50);
  // Right-aligned: it ends 11 left of x.
  app().p_CLS2D();
  app().p_Text(100, 50, String("Hi"), 2, 1);
  EXPECT_EQ(Glyphs()[0].x, 89);

  // Scale 2 doubles advance and line height; glyphs carry the scale.
  app().p_CLS2D();
  app().p_SetSize(2);
  app().p_Text(100, 50, String("AB"), 0, 0);
  glyphs = Glyphs();
  ASSERT_EQ(glyphs.size(), 2u);
  EXPECT_EQ(glyphs[0].y, 60);
  EXPECT_EQ(glyphs[1].x, 114);
  EXPECT_EQ(glyphs[1].scaleX, 2);
}

TEST_F(GameDraw, BackslashNBreaksTheLineAndOtherBackslashesAreGlyphs) {
  app().p_Text(100, 50, String("AB\\nC"), 0, 1);
  auto glyphs = Glyphs();
  ASSERT_EQ(glyphs.size(), 3u);
  EXPECT_EQ(glyphs[2].frame, 'C' - 32);
  EXPECT_EQ(glyphs[2].x, 100);
  EXPECT_EQ(glyphs[2].y, 60);

  app().p_CLS2D();
  app().p_Text(100, 50, String("A\\x"), 0, 1);
  glyphs = Glyphs();
  ASSERT_EQ(glyphs.size(), 3u);
  EXPECT_EQ(glyphs[1].frame, '\\' - 32);
  EXPECT_EQ(glyphs[1].x, 107);

  // A backslash at the very end is drawn too.
  app().p_CLS2D();
  app().p_Text(0, 0, String("n\\"), 0, 1);
  EXPECT_EQ(Glyphs().size(), 2u);
}

TEST_F(GameDraw, RotatedTextRunsAlongItsAngle) {
  // Rotated by 90 degrees (clockwise on screen): the text runs downwards.
  app().p_SetRot(90);
  app().p_Text(100, 50, String("Hi"), 0, 0);
  const auto glyphs = Glyphs();
  ASSERT_EQ(glyphs.size(), 2u);
  EXPECT_EQ(glyphs[0].x, 95);
  EXPECT_EQ(glyphs[0].y, 50);
  EXPECT_EQ(glyphs[1].x, 95);
  EXPECT_EQ(glyphs[1].y, 57);
  EXPECT_EQ(glyphs[0].rotation, -90);
}

TEST_F(GameDraw, CharactersOutsideTheFontDrawNothing) {
  std::u16string units = u"A";
  units += char16_t(200);  // outside 32-159: advances only
  units += u"B";
  units += char16_t(0);  // neither draws nor advances
  units += u"C";
  units += char16_t(31);
  units += u"D";
  app().p_Text(0, 0, String(units), 0, 1);
  const auto glyphs = Glyphs();
  ASSERT_EQ(glyphs.size(), 4u);
  EXPECT_EQ(glyphs[1].x, 14);
  EXPECT_EQ(glyphs[2].x, 21);
  EXPECT_EQ(glyphs[3].x, 35);
  // The highest glyph is code 159.
  app().p_CLS2D();
  app().p_Text(0, 0, String(std::u16string(1, char16_t(159))), 0, 1);
  EXPECT_EQ(Glyphs().at(0).frame, 127);
}

TEST_F(GameDraw, ButtonsTestFingersInsideTheirDrawnSize) {
  c_MyApp& a = app();
  a.imageScale = 0.5f;
  a.SetImageInfo(Image::Icons, 64, 64, a.FrameCount(Image::Icons));  // 32 x 32 units at level 2
  a.mouseDown = 1;
  a.touchX[3] = 115;
  a.touchY[3] = 100;
  EXPECT_EQ(a.p_Button(Image::Icons, 100, 100, 0), 1);
  a.touchX[3] = 116;  // the edge itself is outside
  EXPECT_EQ(a.p_Button(Image::Icons, 100, 100, 0), 0);
  a.p_SetSize(2);
  EXPECT_EQ(a.p_Button(Image::Icons, 100, 100, 0), 1);
  // Nothing counts without a pointer down.
  a.mouseDown = 0;
  EXPECT_EQ(a.p_Button(Image::Icons, 100, 100, 0), 0);
  // Each test drew the button.
  EXPECT_EQ(game_.ImageRecords(Image::Icons).size(), 4u);
}

TEST_F(GameDraw, TouchAreasUseFingersThatAreDown) {
  c_MyApp& a = app();
  a.touchDown[1] = 1;
  a.touchX[1] = 33;
  a.touchY[1] = 33;
  EXPECT_EQ(a.p_Touch(10, 10, 20, 20), 1);
  a.touchX[1] = 4;
  a.touchY[1] = 15;
  EXPECT_EQ(a.p_Touch(10, 10, 20, 20), 0);
  EXPECT_EQ(game_.Records().size(), 2u);

  a.touchX[1] = 104;
  a.touchY[1] = 96;
  EXPECT_EQ(a.p_MouseIn_Centered(100, 100, 10, 10), 1);
  a.touchDown[1] = 0;
  EXPECT_EQ(a.p_MouseIn_Centered(100, 100, 10, 10), 0);
}
