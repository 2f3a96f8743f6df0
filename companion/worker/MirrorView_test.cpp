#include "companion/worker/MirrorView.h"

#include <algorithm>

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include "platform/sim/SimPanels.h"
#include "tests/support/GeometryExpectations.h"

namespace qn {
namespace {

using test::expectColor;
using test::expectFrame;
using Kind = SimCanvas::Kind;

// A 1000 x 657 mirror whose panel sits at (100, 200) on the desktop.
struct MirrorViewTest : ::testing::Test {
  SimPanel panel{Rect{{100, 200}, {1000, 657}}, PanelRecipe{}};
  MirrorView view{false, panel};
  SimCanvas render() {
    SimCanvas canvas;
    view.draw(canvas, panel.frame().size);
    return canvas;
  }
  // A point given in the view's space (top left, y down) as the desktop reports it.
  Point global(double x, double y) { return Point{100 + x, 200 + 657 - y}; }
};

TEST_F(MirrorViewTest, ChromeAroundThePlaceholder) {
  view.caption = "Live view · Shop";
  const auto canvas = render();
  ASSERT_GE(canvas.ops.size(), 3u);
  EXPECT_EQ(canvas.ops[0].kind, Kind::Save);
  EXPECT_EQ(canvas.ops[1].kind, Kind::Clip);
  expectFrame(canvas.ops[1].rect, Rect{{0, 0}, {1000, 657}});
  EXPECT_EQ(canvas.ops[1].radius, 12);
  EXPECT_EQ(canvas.ops.back().kind, Kind::Restore);

  const auto fills = canvas.opsOf(Kind::RoundedRect);
  ASSERT_EQ(fills.size(), 3u);
  expectColor(fills[0].color, Color{0.09, 0.10, 0.13, 1});
  expectFrame(fills[1].rect, Rect{{934, 5}, {58, 22}});
  EXPECT_EQ(fills[1].radius, 6);
  expectColor(fills[1].color, Color{1, 1, 1, 0.14});
  expectFrame(fills[2].rect, Rect{{0, 32}, {1000, 625}});
  expectColor(fills[2].color, Color{0.07, 0.08, 0.10, 1});

  const auto dot = canvas.opsOf(Kind::Oval);
  ASSERT_EQ(dot.size(), 1u);
  expectFrame(dot[0].rect, Rect{{12, 12}, {8, 8}});
  expectColor(dot[0].color, Color{0.25, 0.85, 0.45, 1});

  const auto* caption = canvas.findText("Live view · Shop");
  ASSERT_NE(caption, nullptr);
  EXPECT_EQ(caption->rect.origin.x, 27);
  EXPECT_EQ(caption->rect.origin.y, 8);
  EXPECT_EQ(caption->font.size, 12);
  EXPECT_EQ(caption->font.weight, FontWeight::Medium);
  EXPECT_EQ(caption->color.alpha, 0.92);

  const auto* hide = canvas.findText("Hide");
  ASSERT_NE(hide, nullptr);
  EXPECT_EQ(hide->rect.origin.x, 950);
  EXPECT_EQ(hide->rect.origin.y, 8);

  // Sim metrics: 0.6 of 13 points a character, lines 16.25 high.
  const std::string placeholder = "Connecting live view…";
  const auto* text = canvas.findText(placeholder);
  ASSERT_NE(text, nullptr);
  EXPECT_DOUBLE_EQ(text->rect.origin.x, 500 - 21 * 13 * 0.6 / 2);
  EXPECT_DOUBLE_EQ(text->rect.origin.y, 32 + 625 / 2.0 - 16.25 / 2);
  EXPECT_EQ(text->color.alpha, 0.45);
  EXPECT_TRUE(canvas.opsOf(Kind::Image).empty());
}

TEST_F(MirrorViewTest, PictureStretchedIntoTheAreaUnderTheStrip) {
  auto image = std::make_shared<Image>();
  image->width = 1280;
  image->height = 800;
  view.img = image;
  const auto canvas = render();
  const auto images = canvas.opsOf(Kind::Image);
  ASSERT_EQ(images.size(), 1u);
  expectFrame(images[0].rect, Rect{{0, 32}, {1000, 625}});
  EXPECT_EQ(images[0].imageSize.width, 1280);
  EXPECT_EQ(canvas.findText("Connecting live view…"), nullptr);
}

TEST(MirrorViewChinese, Texts) {
  SimPanel panel{Rect{{0, 0}, {900, 600}}, PanelRecipe{}};
  MirrorView view{true, panel};
  view.hint = 1;
  SimCanvas canvas;
  view.draw(canvas, Size{900, 600});
  EXPECT_NE(canvas.findText("收起"), nullptr);
  EXPECT_NE(canvas.findText("画面马上就来…"), nullptr);
  EXPECT_NE(canvas.findText("这里只能看，点不到，不会打扰 AI"), nullptr);
}

TEST_F(MirrorViewTest, PointerScaledFromSourcePixelsWithItsRipple) {
  view.size0 = Size{1280, 800};
  view.cur = Point{640, 400};
  const auto plain = render();
  EXPECT_EQ(plain.opsOf(Kind::Oval).size(), 1u) << "no ripple without a click";
  const auto strokes = plain.opsOf(Kind::StrokePolygon);
  const auto fills = plain.opsOf(Kind::FillPolygon);
  ASSERT_EQ(strokes.size(), 1u);
  ASSERT_EQ(fills.size(), 1u);
  // 640 / 1280 of 1000 wide; 400 / 800 of the 625 under the strip.
  const double px = 500, py = 32 + 312.5;
  ASSERT_EQ(strokes[0].points.size(), 7u);
  EXPECT_DOUBLE_EQ(strokes[0].points[0].x, px);
  EXPECT_DOUBLE_EQ(strokes[0].points[0].y, py);
  EXPECT_DOUBLE_EQ(strokes[0].points[3].x, px + 7);
  EXPECT_DOUBLE_EQ(strokes[0].points[3].y, py + 19.4);
  EXPECT_DOUBLE_EQ(strokes[0].points[6].x, px + 12.4);
  EXPECT_EQ(strokes[0].lineWidth, 2.4);
  expectColor(strokes[0].color, Color{1, 1, 1, 1});
  expectColor(fills[0].color, Color{0, 0, 0, 1});
  const auto stroked = std::find_if(plain.ops.begin(), plain.ops.end(),
                                    [](const auto& op) { return op.kind == Kind::StrokePolygon; });
  ASSERT_NE(stroked + 1, plain.ops.end());
  EXPECT_EQ((stroked + 1)->kind, Kind::FillPolygon) << "white outline first, black inside";

  view.downT = 0.5;
  const auto ovals = render().opsOf(Kind::Oval);
  ASSERT_EQ(ovals.size(), 2u);
  expectFrame(ovals[1].rect, Rect{{px - 17, py - 17}, {34, 34}});
  expectColor(ovals[1].color, Color{1, 0.45, 0.1, 0.175});
}

TEST_F(MirrorViewTest, HintPillFadesWithItsPhase) {
  const std::string text = "View only. Clicks here do nothing.";
  struct Case {
    double hint;
    double alpha;
  };
  for (const Case c : {Case{1, 1}, Case{0.5, 1}, Case{0.25, 0.5}}) {
    SCOPED_TRACE(c.hint);
    view.hint = c.hint;
    const auto canvas = render();
    const auto* label = canvas.findText(text);
    ASSERT_NE(label, nullptr);
    EXPECT_DOUBLE_EQ(label->color.alpha, c.alpha);
    const double tw = text.size() * 14 * 0.6;
    const auto pill = canvas.opsOf(Kind::RoundedRect).back();
    expectFrame(pill.rect, Rect{{500 - tw / 2 - 18, 344.5 - 22}, {tw + 36, 44}});
    EXPECT_EQ(pill.radius, 12);
    EXPECT_DOUBLE_EQ(pill.color.alpha, c.alpha * 0.75);
    EXPECT_DOUBLE_EQ(label->rect.origin.x, pill.rect.origin.x + 18);
    EXPECT_DOUBLE_EQ(label->rect.origin.y, 344.5 - 14 * 1.25 / 2);
  }
  view.hint = 0;
  EXPECT_EQ(render().findText(text), nullptr);
}

TEST_F(MirrorViewTest, CloseButtonStripAndPicturePresses) {
  int closes = 0, redraws = 0;
  std::vector<Point> drags;
  view.onClose = [&] { ++closes; };
  view.onNeedsDisplay = [&] { ++redraws; };
  view.onDragWin = [&](Point d) { drags.push_back(d); };

  expectFrame(view.closeR(), Rect{{934, 5}, {58, 22}});
  view.mouseDown(global(934, 5));
  view.mouseDown(global(992, 27));
  EXPECT_EQ(closes, 2);
  view.mouseDown(global(933, 10));
  view.mouseDown(global(990, 28));
  EXPECT_EQ(closes, 2) << "just outside the button is the strip";
  EXPECT_EQ(view.hint, 0);

  // The strip drags the panel by desktop deltas, step by step.
  const Point start = global(400, 31);
  view.mouseDown(start);
  view.mouseDragged(Point{start.x + 5, start.y - 3});
  view.mouseDragged(Point{start.x + 6, start.y - 3});
  ASSERT_EQ(drags.size(), 2u);
  EXPECT_EQ(drags[0].x, 5);
  EXPECT_EQ(drags[0].y, -3);
  EXPECT_EQ(drags[1].x, 1);
  EXPECT_EQ(drags[1].y, 0);

  // The picture only shows the hint, and a drag from it moves nothing.
  view.mouseDown(global(400, 32));
  view.mouseDragged(global(500, 100));
  EXPECT_EQ(drags.size(), 2u);
  EXPECT_EQ(view.hint, 1);
  EXPECT_EQ(redraws, 1);
  view.hint = 0;
  view.rightMouseDown(global(10, 10));
  EXPECT_EQ(view.hint, 1);
  EXPECT_EQ(redraws, 2);
  EXPECT_EQ(closes, 2);
}

TEST(MirrorViewCallbacks, MissingOnesAreSkipped) {
  SimPanel panel{Rect{{0, 0}, {900, 600}}, PanelRecipe{}};
  MirrorView view{false, panel};
  view.mouseDown(Point{870, 590});
  view.mouseDown(Point{100, 590});
  view.mouseDragged(Point{110, 580});
  view.mouseDown(Point{100, 100});
  EXPECT_EQ(view.hint, 1);
}

}  // namespace
}  // namespace qn
