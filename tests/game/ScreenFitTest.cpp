// Every screen at the window shapes that matter: a phone held upright (its page keeps the game at
// its narrowest shape between bands), the narrowest shape itself, 4:3, 16:9 and 21:9, and a
// phone turned with a notch. On each, all the game draws (the ink of its images and glyphs, its
// panels and bars) and every control's touch area lie inside the visible area, and a shape just
// narrower than the narrowest loses something over the edge. Then the touch areas: a finger gets
// at least 44 points, a mouse the drawn bounds, and no two areas overlap.
#include <gtest/gtest.h>

#include <algorithm>
#include <array>
#include <cmath>
#include <cstdio>
#include <map>
#include <memory>
#include <sstream>
#include <string>
#include <tuple>
#include <vector>

#include "game/AssetList.h"
#include "game/Globals.h"
#include "game/MyApp.h"
#include "game/ScreenFit.h"
#include "decode/ImageDecode.h"
#include "tests/game/GameHarness.h"

namespace {

// The opaque part of one frame of an image file, in pixels from the frame's centre.
struct Ink {
  float left = 0, top = 0, right = 0, bottom = 0;
  // The farthest opaque pixel's distance from the centre: the reach of a turned frame.
  float radius = 0;
  bool empty = true;
};

// Ink of every frame of the game's images, read from the data files the harness loads.
class InkAtlas {
 public:
  const Ink& Of(int slot, int level, int frame) {
    const auto key = std::make_tuple(slot, level, frame);
    auto found = cache_.find(key);
    if (found != cache_.end()) return found->second;
    return cache_[key] = Measure(slot, level, frame);
  }

 private:
  static Ink Measure(int slot, int level, int frame) {
    Ink ink;
    for (const AssetStep& step : kAssetSteps) {
      const ImageAsset& image = step.image;
      if (image.slot != slot) continue;
      int width = 0, height = 0, depth = 0;
      const String path =
          String("data/") + String(image.name) + String(LevelSuffix(level)) + String(".png");
      PixelBuffer pixels = LoadImageFile(path, &width, &height, &depth);
      if (!pixels || depth != 4) return ink;
      const int fw = image.frameW * level;
      const int fh = image.frameH * level;
      const int x0 = (frame % image.columns) * fw;
      const int y0 = (frame / image.columns) * fh;
      for (int y = y0; y < y0 + fh && y < height; ++y) {
        for (int x = x0; x < x0 + fw && x < width; ++x) {
          if (pixels[(static_cast<size_t>(y) * width + x) * 4 + 3] < 16) continue;
          const float px = static_cast<float>(x - x0) - fw / 2.0f;
          const float py = static_cast<float>(y - y0) - fh / 2.0f;
          const float far = std::hypot(std::max(std::fabs(px), std::fabs(px + 1)),
                                       std::max(std::fabs(py), std::fabs(py + 1)));
          ink.radius = std::max(ink.radius, far);
          if (ink.empty) {
            ink = {px, py, px + 1, py + 1, far, false};
          } else {
            ink.left = std::min(ink.left, px);
            ink.top = std::min(ink.top, py);
            ink.right = std::max(ink.right, px + 1);
            ink.bottom = std::max(ink.bottom, py + 1);
          }
        }
      }
    }
    return ink;
  }

  std::map<std::tuple<int, int, int>, Ink> cache_;
};

struct Shape {
  const char* name;
  int width, height;
  GameHarness::Page page;
  // False for a shape narrower than the narrowest, which must lose something over an edge.
  bool fits = true;
};

std::ostream& operator<<(std::ostream& out, const Shape& shape) {
  return out << shape.name;
}

GameHarness::Page PageOf(float pixelsPerPoint, int left = 0, int top = 0, int right = 0,
                         int bottom = 0) {
  GameHarness::Page page;
  page.on = true;
  page.pixelsPerPoint = pixelsPerPoint;
  page.insets[0] = left;
  page.insets[1] = top;
  page.insets[2] = right;
  page.insets[3] = bottom;
  return page;
}

// Units a backdrop may fall short of an edge and still span the screen.
constexpr float kEdge = 1.5f;
// Units anything may reach further past an edge than on the design screen (rounding).
constexpr float kSlack = 1.0f;

// What reaches past the edges: per screen and kind of thing, the most past the left, top, right
// and bottom edge.
using Overhangs = std::map<std::string, std::array<float, 4>>;

// The design screen's own picture, the measure: its corner logo and the options' back gear sit
// a little over the top edge, as the game has always drawn them.
const Overhangs& DesignScreen();

class ScreenFit : public ::testing::TestWithParam<Shape> {
 protected:
  void SetUp() override {
    DesignScreen();  // measured first: one harness at a time
    Open(GetParam());
  }
  void Open(const Shape& shape) {
    GameHarness::Options o = GameHarness::Options::Sized(shape.width, shape.height);
    o.page = shape.page;
    game_ = std::make_unique<GameHarness>(o);
  }

  c_MyApp& app() { return game_->App(); }

  // How far each thing a screen drew or made touchable reaches past each edge of the visible
  // area (left, top, right, bottom; the most of all the things of one kind), added to `out`.
  void Outside(const std::string& screen, Overhangs& out) {
    const float w = xq_Drommel_jscrw;
    const float h = xq_Drommel_jscrh;
    const auto check = [&](const std::string& what, float left, float top, float right,
                           float bottom) {
      const std::array<float, 4> past = {-left, -top, right - w, bottom - h};
      if (*std::max_element(past.begin(), past.end()) <= 0) return;
      std::array<float, 4>& most = out[screen + ": " + what];
      for (size_t e = 0; e < 4; ++e) most[e] = std::max(most[e], past[e]);
    };
    for (const DrawRecord& r : game_->Records()) {
      if (r.alpha <= 0.02f) continue;
      if (r.IsRect()) {
        // Backdrops span the whole width or height on purpose.
        const bool spans = (r.x <= kEdge && r.x + r.scaleX >= w - kEdge) ||
                           (r.y <= kEdge && r.y + r.scaleY >= h - kEdge);
        if (!spans) check("a rectangle", r.x, r.y, r.x + r.scaleX, r.y + r.scaleY);
      } else if (r.IsOval()) {
        check("an oval", r.x - r.scaleX, r.y - r.scaleY, r.x + r.scaleX, r.y + r.scaleY);
      } else {
        const int slot = static_cast<int>(r.kind);
        const int frame = static_cast<int>(r.frame);
        // The world scrolls through the screen: only the ball stays.
        if (slot == Image::Parts || (slot == Image::World && frame != Frame::Ball)) continue;
        const Ink& ink = ink_.Of(slot, app().hdLevel, frame);
        if (ink.empty) continue;
        const float sx = r.scaleX * app().imageScale;
        const float sy = r.scaleY * app().imageScale;
        // A turned frame reaches as far as its farthest ink in every direction.
        float l = r.x + ink.left * sx, t = r.y + ink.top * sy;
        float rr = r.x + ink.right * sx, b = r.y + ink.bottom * sy;
        if (r.rotation != 0) {
          l = r.x - ink.radius * sx, t = r.y - ink.radius * sy;
          rr = r.x + ink.radius * sx, b = r.y + ink.radius * sy;
        }
        check(slot == app().fontSlot
                  ? std::string("text")
                  : "image " + std::to_string(slot) + " frame " + std::to_string(frame),
              l, t, rr, b);
      }
    }
    const TouchTargets& targets = app().touchTargets;
    for (int i = 0; i < targets.CurrentCount(); ++i) {
      const TouchRect& c = targets.Current()[i];
      check("a control", c.left, c.top, c.right, c.bottom);
    }
  }

  // Every screen in turn, settled; what each put outside.
  Overhangs EveryScreen() {
    Overhangs out;
    const auto add = [&](const char* screen) { Outside(screen, out); };
    game_->Render();
    game_->Step(3);
    add("loading");
    game_->FinishLoading();
    // Long numbers in both score tables.
    for (int i = 0; i < 20; ++i) app().highscores[i] = 99999999 - i;
    game_->Step(40);
    add("menu");
    app().optionsOpen = 1;
    game_->Step(32);
    add("options");
    app().optionsOpen = 0;
    game_->Step(32);
    app().creditsOpen = 1;
    game_->Step(32);
    add("credits");
    app().creditsOpen = 0;
    game_->Step(32);

    for (int i = 0; i < 20; ++i) app().highscores[i] = 0;
    game_->StartSafeGame();
    for (int i = 0; i < 600 && app().score < 14; ++i) game_->Update();
    game_->Step(3);
    add("play");
    game_->KeyUp(Key::Space);
    for (int choice : {-1, 0, 1}) {
      app().paused = 1;
      app().pauseDirection = 1;
      app().pauseChoice = choice;
      game_->Step(20);
      add("pause");
    }
    app().optionsOpen = 1;
    game_->Step(32);
    add("options over the pause menu");
    app().optionsOpen = 0;
    game_->Step(32);
    app().paused = 0;
    app().gameOverTimer = 1;
    game_->Step(89);
    add("game over");
    return out;
  }

  std::unique_ptr<GameHarness> game_;
  InkAtlas ink_;
};

// Nothing reaches further past an edge than on the design screen.
TEST_P(ScreenFit, EveryScreenKeepsAllItDrawsAndItsControlsInsideTheVisibleArea) {
  const Shape& shape = GetParam();
  const Overhangs& design = DesignScreen();
  const Overhangs here = EveryScreen();
  std::vector<std::string> further;
  static const char* const kEdges[] = {"left", "top", "right", "bottom"};
  for (const auto& [what, past] : here) {
    const auto found = design.find(what);
    for (size_t e = 0; e < 4; ++e) {
      const float allowed = (found != design.end() ? found->second[e] : 0) + kSlack;
      if (past[e] > allowed) {
        std::ostringstream line;
        line << what << " reaches " << past[e] << " units past the " << kEdges[e] << " edge of "
             << xq_Drommel_jscrw << " x " << xq_Drommel_jscrh;
        further.push_back(line.str());
      }
    }
  }
  if (!shape.fits) {
    EXPECT_FALSE(further.empty()) << "everything fits a shape narrower than the narrowest";
    for (const std::string& line : further) std::printf("  cut: %s\n", line.c_str());
    return;
  }
  for (const std::string& line : further) ADD_FAILURE() << line;

  // The picture between the bands: inside the window and its insets, and of a shape the screens
  // fit.
  const ScreenRect& view = app().view;
  EXPECT_GE(view.x, shape.page.insets[0]);
  EXPECT_GE(view.y, shape.page.insets[1]);
  EXPECT_LE(view.x + view.width, shape.width - shape.page.insets[2]);
  EXPECT_LE(view.y + view.height, shape.height - shape.page.insets[3]);
  EXPECT_GE(xq_Drommel_jscrw / xq_Drommel_jscrh, kNarrowestShape - 0.01f);
  EXPECT_LE(xq_Drommel_jscrw / xq_Drommel_jscrh, kWidestShape + 0.01f);
}

// Measures the design screen, 640 x 480 in a desktop window.
class DesignShape : public ScreenFit {
 public:
  void TestBody() override {}
  Overhangs Measure() {
    Open(Shape{"design", kDesignWidth, kDesignHeight, {}});
    Overhangs out = EveryScreen();
    game_.reset();
    return out;
  }
};

const Overhangs& DesignScreen() {
  static const Overhangs design = DesignShape().Measure();
  return design;
}

INSTANTIATE_TEST_SUITE_P(
    Shapes, ScreenFit,
    ::testing::Values(Shape{"upright 9:19.5", 720, 1560, PageOf(2)},
                      Shape{"narrowest", static_cast<int>(480 * kNarrowestShape), 480, {}},
                      Shape{"4:3", 640, 480, {}}, Shape{"16:9", 1280, 720, {}},
                      Shape{"21:9", 1260, 540, {}},
                      Shape{"phone 390 x 844 at 3", 1170, 2532, PageOf(3, 0, 141, 0, 102)},
                      Shape{"phone turned, notch", 2532, 1170, PageOf(3, 141, 0, 141, 63)},
                      Shape{"narrower than the narrowest",
                            static_cast<int>(480 * (kNarrowestShape - 0.03f)),
                            480,
                            {},
                            false}),
    [](const ::testing::TestParamInfo<Shape>& info) {
      std::string name;
      for (const char* c = info.param.name; *c; ++c) {
        if (std::isalnum(static_cast<unsigned char>(*c))) name += *c;
      }
      return name;
    });

}  // namespace

namespace {

TEST(TouchAreas, GrowToTheMinimumAboutTheirCentreInsideTheScreenAndStopHalfwayToANeighbour) {
  const auto area = [](TouchRect drawn, std::vector<TouchRect> others = {}) {
    return TouchArea(drawn, 50, others.data(), static_cast<int>(others.size()), 640, 480);
  };
  const auto same = [](const TouchRect& a, const TouchRect& b) {
    return a.left == b.left && a.top == b.top && a.right == b.right && a.bottom == b.bottom;
  };
  EXPECT_TRUE(same(area({100, 100, 120, 110}), {85, 80, 135, 130}));
  // Big enough along an axis: that axis stays as drawn.
  EXPECT_TRUE(same(area({100, 100, 200, 110}), {100, 80, 200, 130}));
  // In a corner the whole area moves onto the screen.
  EXPECT_TRUE(same(area({0, 0, 32, 32}), {0, 0, 50, 50}));
  EXPECT_TRUE(same(area({620, 460, 640, 480}), {590, 430, 640, 480}));

  // Two rows 16 apart meet in the middle of the gap; across, a button beside them does too.
  const TouchRect upper{100, 100, 300, 124};
  const TouchRect lower{100, 140, 300, 164};
  const TouchRect beside{310, 100, 330, 124};
  const TouchRect a = area(upper, {lower, beside});
  const TouchRect b = area(lower, {upper, beside});
  const TouchRect c = area(beside, {upper, lower});
  EXPECT_EQ(a.bottom, 132);
  EXPECT_EQ(b.top, 132);
  EXPECT_EQ(a.right, 300);
  EXPECT_EQ(c.left, 305);
  EXPECT_FALSE(a.Overlaps(b));
  EXPECT_FALSE(a.Overlaps(c));
  EXPECT_FALSE(b.Overlaps(c));
  // What overlaps the drawn rectangle (the same control an update ago) does not cut it.
  EXPECT_TRUE(same(area({100, 100, 120, 110}, {{101, 100, 121, 110}}), {85, 80, 135, 130}));
}

// On a phone turned sideways (a page at three pixels a point, a notch on either side), the pause
// button is drawn 32 units wide, under 44 points: a finger beside it still pauses, the mouse there
// does not.
TEST(TouchAreas, AFingerGetsAtLeast44PointsAMouseTheDrawnButton) {
  for (const bool finger : {true, false}) {
    GameHarness::Options o = GameHarness::Options::Sized(2532, 1170);
    o.page = PageOf(3, 141, 0, 141, 63);
    GameHarness game(o);
    game.FinishLoading();
    game.StartSafeGame();
    game.Step(2);
    game.KeyUp(Key::Space);
    game.Step(2);
    c_MyApp& app = game.App();
    ASSERT_EQ(app.gameMode, Mode::Play);
    const float drawn = 32 * app.drawScaleX;  // the pause button's width in units
    EXPECT_LT(drawn * app.scaleX, 44 * 3) << "drawn smaller than 44 points";
    // 40 points from the left edge of the picture, beside the button.
    const float x = app.view.x + 40 * 3;
    const float y = app.view.y + 16 * app.scaleY;
    if (finger) {
      game.TouchDown(0, x, y);
    } else {
      game.MouseDown(x, y);
    }
    game.Step(2);
    EXPECT_EQ(app.paused, finger ? 1 : 0) << (finger ? "finger" : "mouse");
    EXPECT_EQ(app.touchMinimum > 0, finger);
  }
}

}  // namespace
