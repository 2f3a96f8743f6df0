#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <cmath>

#include "companion/SimCompanion_testing.h"
#include "tests/support/GeometryExpectations.h"
#include "tests/support/TestImages.h"

namespace qn {
namespace {

using nlohmann::json;
using test::expectFrame;
using test::SimCompanion;

// A small picture of each kind, in the base64 the parent sends.
std::string jpeg64(int w = 16, int h = 10) {
  return test::encodeBase64(
      test::encodeJpeg(w, h, [w, h](int x, int y) { return test::quadrants(x, y, w, h); }));
}
std::string png64(int w = 8, int h = 4) {
  return test::encodeBase64(
      test::encodePng(w, h, [w, h](int x, int y) { return test::quadrants(x, y, w, h); }));
}

std::string picture(const char* cmd, const std::string& id, const std::string& data, double w,
                    double h) {
  json c{{"cmd", cmd}, {"d", data}, {"w", w}, {"h", h}};
  if (!id.empty()) c["id"] = id;
  return c.dump();
}

// A companion on a 1440 x 900 screen whose visible frame is 1440 x 875.
struct Mirror : ::testing::Test {
  explicit Mirror(CompanionOptions options = test::plainOptions()) : sim(options, false) {
    sim.screens.list = {Screen{{{0, 0}, {1440, 900}}, {{0, 0}, {1440, 875}}, 1}};
    sim.app->applicationDidFinishLaunching();
  }
  App& app() { return *sim.app; }
  SimPanel& mir() { return static_cast<SimPanel&>(*sim.app->mir); }
  void open(const std::string& id = "") {
    sim.command(json{{"cmd", "mirror"}, {"on", true}, {"id", id}}.dump());
  }
  void frame(const std::string& data, double w = 1280, double h = 800, const std::string& id = "") {
    sim.command(picture("frame", id, data, w, h));
  }
  void tabAt(bool left, double relY) {
    app().edgeLeft = left;
    app().relY = relY;
    app().layout();
  }
  SimCompanion sim;
};

struct BoardMirror : Mirror {
  BoardMirror() : Mirror(test::boardOptions()) {}
};

TEST_F(Mirror, PanelKeepsThePicturesAspectWithinTheScreen) {
  struct Case {
    double w, h;
    Size panel;
  };
  const Case cases[] = {
      {1280, 800, {1000, 657}},  // 0.78125, limited by width
      {640, 400, {1000, 657}},   // small pictures are enlarged
      {400, 800, {334, 700}},    // tall: 80 % of the height less the strip
  };
  open();
  for (const auto& c : cases) {
    SCOPED_TRACE(c.w);
    frame(jpeg64(), c.w, c.h);
    EXPECT_DOUBLE_EQ(mir().frame().size.width, c.panel.width);
    EXPECT_DOUBLE_EQ(mir().frame().size.height, c.panel.height);
    EXPECT_DOUBLE_EQ(app().mv->size0.width, c.w);
  }
}

TEST_F(Mirror, SitsBesideTheTabTenPointsInsideTheVisibleFrame) {
  struct Case {
    bool left;
    double relY;
    Point origin;
  };
  const Case cases[] = {
      {false, 0, {1406 - 1000 - 10, 10}},    // right edge at the bottom: bottom limit
      {false, 0.5, {396, 437.5 - 328.5}},    // centred on the tab
      {true, 1, {34 + 10, 875 - 657 - 10}},  // left edge at the top: top limit
  };
  open();
  frame(jpeg64());
  for (const auto& c : cases) {
    SCOPED_TRACE(c.relY);
    tabAt(c.left, c.relY);
    app().layMirror();
    expectFrame(mir().frame(), Rect{c.origin, {1000, 657}});
  }
}

TEST_F(Mirror, AfterADragFramesResizeButNoLongerMove) {
  open();
  frame(jpeg64());
  const Rect before = mir().frame();
  // Press the caption strip and drag by (-30, +20).
  const Point strip{before.origin.x + 100, before.origin.y + before.size.height - 10};
  app().mv->mouseDown(strip);
  app().mv->mouseDragged(Point{strip.x - 30, strip.y + 20});
  EXPECT_TRUE(app().mirMoved);
  const Point moved{before.origin.x - 30, before.origin.y + 20};
  expectFrame(mir().frame(), Rect{moved, before.size});

  frame(jpeg64(), 400, 800);
  expectFrame(mir().frame(), Rect{moved, {334, 700}});
  sim.screens.changed();
  expectFrame(mir().frame(), Rect{moved, {334, 700}});

  // Reopening places it again.
  sim.command(R"({"cmd":"mirror","on":false})");
  open();
  EXPECT_FALSE(app().mirMoved);
  EXPECT_DOUBLE_EQ(mir().frame().origin.x, 1406 - 334 - 10);
}

TEST_F(Mirror, OpeningShowsTheCachedStillAtOnceOrThePlaceholder) {
  open();
  EXPECT_FALSE(app().mv->img);
  EXPECT_NE(mir().render().findText("Connecting live view…"), nullptr);
  EXPECT_TRUE(mir().isVisible());
  EXPECT_EQ(mir().alphaValue(), 1);
  sim.command(R"({"cmd":"mirror","on":false})");

  sim.command(picture("still", "", png64(), 640, 480));
  ASSERT_TRUE(app().stills.contains(""));
  open();
  ASSERT_TRUE(app().mv->img);
  EXPECT_EQ(app().mv->img->width, 8);
  EXPECT_EQ(app().mv->img, app().stills.at("").image);
  EXPECT_DOUBLE_EQ(app().mv->size0.width, 640);
  EXPECT_DOUBLE_EQ(mir().frame().size.width, 640 * (668.0 / 480));
  EXPECT_DOUBLE_EQ(mir().frame().size.height, 700);
  const auto canvas = mir().render();
  EXPECT_EQ(canvas.findText("Connecting live view…"), nullptr);
  EXPECT_EQ(canvas.opsOf(SimCanvas::Kind::Image).size(), 1u);
}

TEST_F(Mirror, AStillShowsWhileNoFrameHasComeAndNeverReplacesAFrame) {
  open();
  sim.command(picture("still", "", png64(), 640, 480));
  ASSERT_TRUE(app().mv->img);
  EXPECT_EQ(app().mv->img->width, 8);
  frame(jpeg64());
  EXPECT_EQ(app().mv->img->width, 16);
  sim.command(picture("still", "", png64(), 640, 480));
  EXPECT_EQ(app().mv->img->width, 16);
  EXPECT_EQ(app().stills.at("").image->width, 8) << "the newest picture is cached";
}

TEST_F(Mirror, BadBase64ChangesNothingAndANonImageClearsThePictureUncached) {
  open();
  frame(jpeg64());
  const ImageRef shown = app().mv->img;
  ASSERT_TRUE(shown);
  const int redraws = mir().redraws;
  for (const std::string bad : {"!!!!", "QUJD\n", "QUJ"}) frame(bad, 640, 480);
  sim.command(R"({"cmd":"frame","w":640,"h":480})");
  sim.command(R"({"cmd":"frame","d":7,"w":640,"h":480})");
  EXPECT_EQ(app().mv->img, shown);
  EXPECT_DOUBLE_EQ(app().mv->size0.width, 1280);
  EXPECT_EQ(mir().redraws, redraws);

  frame(test::encodeBase64({'h', 'e', 'l', 'l', 'o'}));
  EXPECT_FALSE(app().mv->img);
  EXPECT_GT(mir().redraws, redraws);
  EXPECT_EQ(app().stills.at("").image, shown);
  EXPECT_NE(mir().render().findText("Connecting live view…"), nullptr);

  sim.command(picture("still", "", test::encodeBase64({'G', 'I', 'F'}), 10, 10));
  EXPECT_EQ(app().stills.at("").image, shown) << "a still that is no image is dropped";
}

TEST_F(Mirror, FramesAndPointerCountOnlyWhileOpen) {
  frame(jpeg64());
  sim.command(R"({"cmd":"cur","x":5,"y":5})");
  EXPECT_FALSE(app().mv->img);
  EXPECT_FALSE(app().mv->cur);
  EXPECT_TRUE(app().stills.empty());
  EXPECT_FALSE(mir().isVisible());
}

TEST_F(BoardMirror, OnlyTheMirroredJobsMessagesCount) {
  open("a");
  frame(jpeg64(), 1280, 800, "b");
  frame(jpeg64(), 1280, 800, "");
  sim.command(R"({"cmd":"frame","id":7,"d":")" + jpeg64() + R"(","w":1280,"h":800})");
  EXPECT_FALSE(app().mv->img);
  frame(jpeg64(), 1280, 800, "a");
  EXPECT_TRUE(app().mv->img);
  EXPECT_TRUE(app().stills.contains("a"));

  sim.command(R"({"cmd":"cur","id":"b","x":5,"y":5})");
  sim.command(R"({"cmd":"cur","x":5,"y":5})");
  EXPECT_FALSE(app().mv->cur);
  sim.command(R"({"cmd":"cur","id":"a","x":5,"y":6})");
  ASSERT_TRUE(app().mv->cur);
  EXPECT_DOUBLE_EQ(app().mv->cur->y, 6);

  sim.command(R"({"cmd":"mirror","on":false,"id":"b"})");
  EXPECT_TRUE(app().mirrorOn) << "a stale close for another job";

  // Switching jobs reopens for the new one: its still, no pointer.
  sim.command(picture("still", "b", png64(), 640, 480));
  EXPECT_TRUE(app().mv->img);
  EXPECT_EQ(app().mv->img->width, 16) << "another job's still does not show";
  open("b");
  EXPECT_TRUE(app().mirrorOn);
  EXPECT_EQ(app().mirrorId, "b");
  EXPECT_FALSE(app().mv->cur);
  ASSERT_TRUE(app().mv->img);
  EXPECT_EQ(app().mv->img->width, 8);
  EXPECT_DOUBLE_EQ(app().mv->size0.width, 640);

  sim.command(R"({"cmd":"mirror","on":false,"id":"b"})");
  EXPECT_FALSE(app().mirrorOn);
}

TEST_F(BoardMirror, StillsKeepSixAndNeverTheMirroredOrNewest) {
  open("j2");
  for (int i = 1; i <= 8; ++i) {
    const std::string id = "j" + std::to_string(i);
    sim.command(picture("still", id, png64(), 640, 480));
    EXPECT_LE(app().stills.size(), 6u);
    EXPECT_TRUE(app().stills.contains(id));
    EXPECT_EQ(app().stills.contains("j2"), i >= 2);
  }
  std::vector<std::string> keys;
  for (const auto& [key, still] : app().stills) keys.push_back(key);
  EXPECT_THAT(keys, ::testing::ElementsAre("j2", "j4", "j5", "j6", "j7", "j8"));
}

TEST_F(BoardMirror, CaptionNamesTheMirroredJobOrTheWorker) {
  sim.command(R"({"cmd":"init","title":"Browser"})");
  sim.board(
      R"("tasks":[{"id":"a","state":"running","title":"Shop"},{"id":"b","state":"running"}])");
  open("a");
  EXPECT_EQ(app().mv->caption, "Live view · Shop");
  EXPECT_NE(mir().render().findText("Live view · Shop"), nullptr);
  open("b");
  EXPECT_EQ(app().mv->caption, "Live view · " + app().title);
}

TEST_F(BoardMirror, CloseButtonClosesAndTellsTheParentWithTheJob) {
  open("a");
  const Rect f = mir().frame();
  const Rect close = app().mv->closeR();
  // The button's middle, from the view's top-left space to the desktop's.
  app().mv->mouseDown(
      Point{f.origin.x + close.origin.x + 29, f.origin.y + f.size.height - (close.origin.y + 11)});
  EXPECT_FALSE(app().mirrorOn);
  ASSERT_EQ(sim.lines.size(), 1u);
  EXPECT_EQ(sim.events().back(), (json{{"ev", "mirror"}, {"v", false}, {"id", "a"}}));
}

TEST_F(Mirror, ClosingFadesOutThenHidesUnlessReopened) {
  open();
  EXPECT_TRUE(app().view->shown);
  sim.command(R"({"cmd":"mirror","on":false})");
  EXPECT_FALSE(app().view->shown);
  ASSERT_TRUE(mir().alphaTarget);
  EXPECT_EQ(*mir().alphaTarget, 0);
  EXPECT_DOUBLE_EQ(mir().animationSeconds, 0.1);
  EXPECT_TRUE(mir().isVisible());
  mir().finishAnimation();
  EXPECT_FALSE(mir().isVisible());
  EXPECT_EQ(mir().alphaValue(), 1);

  open();
  sim.command(R"({"cmd":"mirror","on":false})");
  open();
  mir().finishAnimation();
  EXPECT_TRUE(mir().isVisible());
  EXPECT_EQ(mir().alphaValue(), 1);

  // The close button outside board mode sends no id.
  const Rect f = mir().frame();
  app().mv->mouseDown(Point{f.origin.x + f.size.width - 40, f.origin.y + f.size.height - 15});
  EXPECT_EQ(sim.events().back(), (json{{"ev", "mirror"}, {"v", false}}));
}

TEST(MirrorQuiet, GuardModeOpensWithoutOrderingFront) {
  CompanionOptions options;
  options.guardMode = true;
  options.quietUI = true;
  SimCompanion sim(options);
  sim.command(R"({"cmd":"mirror","on":true})");
  EXPECT_TRUE(sim.app->mirrorOn);
  EXPECT_FALSE(sim.app->mir->isVisible());
}

TEST_F(Mirror, ClickRippleGrowsFromTenToTwentyFourOverSixTenthsOfASecond) {
  open();
  frame(jpeg64());
  sim.command(R"({"cmd":"cur","x":640,"y":400,"down":1})");
  const auto rippleRadius = [&]() -> std::optional<double> {
    const auto ovals = mir().render().opsOf(SimCanvas::Kind::Oval);
    // The first oval is the caption's dot.
    if (ovals.size() < 2) return std::nullopt;
    return ovals[1].rect.size.width / 2;
  };
  EXPECT_NEAR(*rippleRadius(), 10, 1e-9);
  sim.loop.advance(0.3);
  EXPECT_NEAR(*rippleRadius(), 17, 1e-6);
  sim.loop.advance(0.24);
  EXPECT_NEAR(*rippleRadius(), 22.6, 1e-6);
  sim.loop.advance(0.12);
  EXPECT_FALSE(rippleRadius());
  EXPECT_EQ(app().mv->downT, 0);
}

TEST_F(Mirror, PressingThePictureShowsTheHintForAboutOnePointSevenSeconds) {
  open();
  const Rect f = mir().frame();
  app().mv->mouseDown(Point{f.origin.x + 300, f.origin.y + 300});
  EXPECT_EQ(app().mv->hint, 1);
  sim.loop.advance(0.9);
  EXPECT_NEAR(app().mv->hint, 1 - 15 * 0.035, 1e-9);
  sim.loop.advance(0.9);
  EXPECT_EQ(app().mv->hint, 0);
  EXPECT_EQ(mir().render().findText("View only. Clicks here do nothing."), nullptr);
}

TEST_F(Mirror, WildNumbersStayFiniteAndPositive) {
  open();
  frame(jpeg64(), 1e308, 1e-300);
  sim.command(R"({"cmd":"cur","x":1e308,"y":-1e308})");
  const Size size0 = app().mv->size0;
  EXPECT_TRUE(std::isfinite(size0.width) && size0.width > 0);
  EXPECT_TRUE(std::isfinite(size0.height) && size0.height > 0);
  const Rect f = mir().frame();
  for (double v : {f.origin.x, f.origin.y, f.size.width, f.size.height})
    EXPECT_TRUE(std::isfinite(v)) << v;
  EXPECT_GT(f.size.width, 0);
  EXPECT_GT(f.size.height, 32);
  for (const auto& op : mir().render().ops)
    for (const Point& p : op.points) EXPECT_LE(std::abs(p.x) + std::abs(p.y), 1e12);
}

TEST(Alert, PlaysGlass) {
  SimCompanion sim;
  sim.command(R"({"cmd":"alert"})");
  EXPECT_THAT(sim.sound.played, ::testing::ElementsAre("Glass"));
  EXPECT_TRUE(sim.lines.empty());
}

}  // namespace
}  // namespace qn
