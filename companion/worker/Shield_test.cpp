#include "companion/worker/WorkerFixture_testing.h"

namespace qn::test {
namespace {

ShareableWindow shareable(uint64_t id, Size size, std::string title = {}, int layer = 0,
                          pid_t pid = WorkerFixture::kWorkerPid) {
  return ShareableWindow{id, pid, layer, Rect{{0, 0}, size}, std::move(title), 1};
}

ImageRef picture(int width, int height) {
  auto image = std::make_shared<Image>();
  image->width = width;
  image->height = height;
  image->pixels.assign(size_t(width) * size_t(height) * 4, 0x80);
  return image;
}

struct Peeking : WorkerFixture {
  explicit Peeking(bool titled = true) {
    if (!titled) window->attributes.erase("AXTitle");
    init(true);
    command(R"({"cmd":"peek","on":true})");
    take();
  }
};

TEST(Capture, TheWindowTitledLikeTheAccessibilityWindowWinsOverALargerOne) {
  Peeking sim;
  ASSERT_EQ(sim.windowCapture.listings.size(), 1u);
  sim.windowCapture.answerListing(std::vector<ShareableWindow>{shareable(1, {1400, 800}, "Other"),
                                                               shareable(2, {600, 400}, "Worker")});
  ASSERT_EQ(sim.windowCapture.captures.size(), 1u);
  EXPECT_EQ(sim.windowCapture.captures[0].window.id, 2u);
  EXPECT_EQ(sim.windowCapture.captures[0].pixelWidth, 600);
  EXPECT_EQ(sim.windowCapture.captures[0].pixelHeight, 400);
  sim.windowCapture.answerCapture(picture(600, 400));
  ASSERT_TRUE(sim.app->sv->img);
  EXPECT_EQ(sim.app->sv->img->width, 600);
  // The next tick captures the same window again without a new look-up.
  sim.loop.advance(0.41);
  EXPECT_TRUE(sim.windowCapture.listings.empty());
  ASSERT_EQ(sim.windowCapture.captures.size(), 1u);
  EXPECT_EQ(sim.windowCapture.captures[0].window.id, 2u);
}

TEST(Capture, WithoutATitleTheLargestNormalWindowOfTheWorker) {
  Peeking sim(false);
  sim.windowCapture.answerListing(std::vector<ShareableWindow>{
      shareable(1, {40, 2000}), shareable(2, {500, 400}), shareable(3, {1200, 900}, "", 3),
      shareable(4, {1300, 900}, "", 0, 99), shareable(5, {600, 400}), shareable(6, {600, 400})});
  ASSERT_EQ(sim.windowCapture.captures.size(), 1u);
  EXPECT_EQ(sim.windowCapture.captures[0].window.id, 5u);
}

TEST(Capture, ScaledScreensAreCapturedAtFullResolution) {
  Peeking sim;
  auto window = shareable(1, {600, 400}, "Worker");
  window.scale = 2;
  sim.windowCapture.answerListing(std::vector<ShareableWindow>{window});
  EXPECT_EQ(sim.windowCapture.captures.at(0).pixelWidth, 1200);
  EXPECT_EQ(sim.windowCapture.captures.at(0).pixelHeight, 800);
}

TEST(Capture, NoCandidateOrNoListLeavesThePictureAreaClearAndTriesAgain) {
  Peeking sim;
  sim.windowCapture.answerListing(std::nullopt);
  EXPECT_FALSE(sim.app->capBusy);
  sim.loop.advance(0.41);
  sim.windowCapture.answerListing(std::vector<ShareableWindow>{shareable(1, {600, 400}, "", 0, 5)});
  EXPECT_TRUE(sim.windowCapture.captures.empty());
  EXPECT_FALSE(sim.app->sv->img);
  sim.loop.advance(0.41);
  EXPECT_EQ(sim.windowCapture.listings.size(), 1u);
}

TEST(Capture, AFailedPictureForcesANewLookUp) {
  Peeking sim;
  sim.windowCapture.answerListing(std::vector<ShareableWindow>{shareable(1, {600, 400})});
  sim.windowCapture.answerCapture(nullptr);
  EXPECT_FALSE(sim.app->capWin);
  sim.loop.advance(0.41);
  EXPECT_EQ(sim.windowCapture.listings.size(), 1u);
}

TEST(Capture, OneRequestAtATime) {
  Peeking sim;
  sim.loop.advance(2);
  EXPECT_EQ(sim.windowCapture.listings.size(), 1u);
  EXPECT_TRUE(sim.windowCapture.captures.empty());
}

TEST(Capture, APictureArrivingAfterThePeekEndedIsNotShownInTheNextPeek) {
  Peeking sim;
  sim.windowCapture.answerListing(std::vector<ShareableWindow>{shareable(1, {600, 400})});
  sim.command(R"({"cmd":"peek","on":false})");
  sim.command(R"({"cmd":"peek","on":true})");
  sim.windowCapture.answerCapture(picture(600, 400));
  EXPECT_FALSE(sim.app->sv->img);
  // The new peek starts with a fresh look-up.
  sim.loop.advance(0.41);
  ASSERT_EQ(sim.windowCapture.listings.size(), 1u);
  sim.windowCapture.answerListing(std::vector<ShareableWindow>{shareable(1, {600, 400})});
  sim.windowCapture.answerCapture(picture(600, 400));
  EXPECT_TRUE(sim.app->sv->img);
}

TEST(Capture, StopsWithThePeek) {
  Peeking sim;
  sim.windowCapture.answerListing(std::nullopt);
  sim.command(R"({"cmd":"peek","on":false})");
  sim.loop.advance(2);
  EXPECT_TRUE(sim.windowCapture.listings.empty());
}

TEST(ShieldView, ClearUntilAPictureThenThePictureUnderTheStrip) {
  ShieldView view(false);
  view.caption = "Live view";
  SimCanvas clear;
  view.draw(clear, Size{400, 330});
  EXPECT_TRUE(clear.opsOf(SimCanvas::Kind::Image).empty());
  EXPECT_NEAR(clear.ops.front().color.alpha, 0.012, 1e-9);
  EXPECT_TRUE(clear.findText("Live view"));
  EXPECT_TRUE(clear.findText("✕"));
  const auto border = clear.opsOf(SimCanvas::Kind::StrokeRoundedRect);
  ASSERT_EQ(border.size(), 1u);
  EXPECT_EQ(border[0].rect.size.width, 398);
  EXPECT_EQ(border[0].lineWidth, 2);

  view.img = picture(800, 600);
  SimCanvas shown;
  view.draw(shown, Size{400, 330});
  const auto images = shown.opsOf(SimCanvas::Kind::Image);
  ASSERT_EQ(images.size(), 1u);
  EXPECT_EQ(images[0].rect.origin.y, 30);
  EXPECT_EQ(images[0].rect.size.height, 300);
  EXPECT_EQ(images[0].rect.size.width, 400);
  EXPECT_FALSE(
      shown.findText("View only (AI is working). To take over, right-click the edge tab > "
                     "Take over"));
}

TEST(Shield, ClicksShowTheHintForTwoSecondsTheCloseMarkAsksToStop) {
  WorkerFixture sim(boardOptions());
  sim.init(true);
  sim.command(R"({"cmd":"peek","on":true})");
  sim.take();
  const Rect frame = sim.app->shield->frame();
  auto& view = *sim.app->sv;
  view.mouseDown(Point{frame.origin.x + 50, frame.origin.y + 50});
  EXPECT_EQ(view.hint, 1);
  SimCanvas canvas;
  view.draw(canvas, frame.size);
  EXPECT_TRUE(canvas.findText(
      "View only (AI is working). To take over, right-click the edge tab > Take over"));
  sim.loop.advance(1.0);
  view.rightMouseDown(Point{frame.origin.x + 60, frame.origin.y + 60});
  sim.loop.advance(1.25);
  EXPECT_EQ(view.hint, 0);
  EXPECT_TRUE(sim.take().empty());

  // The close mark sits at the top right; the event has no id even on a board.
  const double maxX = frame.origin.x + frame.size.width;
  const double maxY = frame.origin.y + frame.size.height;
  view.mouseDown(Point{maxX - 20, maxY - 15});
  EXPECT_EQ(sim.take(), (std::vector<nlohmann::json>{{{"ev", "mirror"}, {"v", false}}}));
  EXPECT_TRUE(sim.app->peeking);
}

}  // namespace
}  // namespace qn::test
