#include "companion/worker/WorkerFixture_testing.h"

namespace qn::test {
namespace {

nlohmann::json visible(bool v) {
  return {{"ev", "visible"}, {"v", v}};
}

TEST(Show, AHumanShowWaitsWhileTheUserTypesInFourTenthsSteps) {
  WorkerFixture sim;
  sim.init(false);
  sim.inputTiming.happened(InputEventType::KeyDown, 0.5);
  sim.command(R"({"cmd":"show","reason":"human"})");
  EXPECT_TRUE(sim.take().empty());
  EXPECT_TRUE(sim.app->pendingShow);
  sim.loop.advance(0.4);
  EXPECT_TRUE(sim.take().empty());
  sim.loop.advance(0.39);
  EXPECT_TRUE(sim.take().empty());
  sim.loop.advance(0.02);
  EXPECT_EQ(sim.take(), std::vector<nlohmann::json>{visible(true)});
  EXPECT_FALSE(sim.app->pendingShow);
  EXPECT_TRUE(sim.worker->active);
  EXPECT_FALSE(sim.worker->hidden);
}

TEST(Show, AHideWhileTheShowWaitsCancelsIt) {
  WorkerFixture sim;
  sim.init(false);
  sim.inputTiming.happened(InputEventType::KeyDown, 0.5);
  sim.command(R"({"cmd":"show","reason":"human"})");
  sim.loop.advance(0.2);
  sim.command(R"({"cmd":"hide"})");
  sim.loop.advance(3);
  EXPECT_FALSE(sim.app->shown);
  EXPECT_FALSE(sim.worker->active);
}

TEST(Show, AUserShowIsNotHeldBackByTyping) {
  WorkerFixture sim;
  sim.init(false);
  sim.inputTiming.happened(InputEventType::KeyDown, 0.1);
  sim.command(R"({"cmd":"show"})");
  EXPECT_EQ(sim.take(), std::vector<nlohmann::json>{visible(true)});
}

TEST(Show, NoWorkerNoShow) {
  WorkerFixture sim;
  sim.command(R"({"cmd":"show"})");
  sim.init(false);
  sim.worker->terminated = true;
  sim.command(R"({"cmd":"show"})");
  sim.loop.advance(3);
  EXPECT_TRUE(sim.events().empty());
}

// The worker's window in window-list coordinates, as the window list reports it.
WindowInfo workerWindow(Rect bounds, int layer = 0) {
  return WindowInfo{WorkerFixture::kWorkerPid, layer, 1.0, bounds};
}

TEST(VerifyShown, AWindowOnTheMouseScreenGivesOneLineAtTheSecondCheck) {
  WorkerFixture sim;
  sim.init(false);
  sim.windowList.windows = {{workerWindow({{100, 100}, {900, 600}}),
                             workerWindow({{0, 0}, {150, 100}}),
                             workerWindow({{0, 0}, {900, 600}}, 3)}};
  sim.command(R"({"cmd":"show","reason":"user"})");
  sim.take();
  sim.loop.advance(0.95);
  EXPECT_TRUE(sim.take().empty());
  sim.loop.advance(1.3);
  EXPECT_EQ(sim.take(), (std::vector<nlohmann::json>{
                            {{"ev", "onscreen"}, {"ok", true}, {"n", 1}, {"reason", "user"}}}));
}

TEST(VerifyShown, AWindowOnAnotherScreenThanTheMouseGivesTwoFailures) {
  WorkerFixture sim;
  sim.screens.list.push_back(Screen{{{1440, 0}, {1280, 800}}, {{1440, 0}, {1280, 800}}, 2});
  sim.screens.mouse = Point{300, 300};
  sim.init(false);
  sim.windowList.windows = {{workerWindow({{1500, 200}, {900, 600}})}};
  sim.command(R"({"cmd":"show","reason":"human"})");
  sim.take();
  sim.loop.advance(2.3);
  const nlohmann::json failure{{"ev", "onscreen"}, {"ok", false}, {"n", 1}, {"reason", "human"}};
  EXPECT_EQ(sim.take(), (std::vector<nlohmann::json>{failure, failure}));
}

TEST(VerifyShown, ANativeWorkerIsNotChecked) {
  WorkerFixture sim;
  sim.showWorker(true);
  sim.loop.advance(3);
  EXPECT_TRUE(sim.take().empty());
}

TEST(Show, ANativeShowCentresTheWindowOnTheCompanionsScreen) {
  WorkerFixture sim;
  sim.init(true);
  sim.command(R"({"cmd":"show"})");
  // 1600 x 1000 on a visible frame of 1440 x 875: 1400 x 835, centred.
  EXPECT_EQ(sim.writesOf<Size>(sim.window, "AXSize").back().width, 1400);
  EXPECT_EQ(sim.writesOf<Size>(sim.window, "AXSize").back().height, 835);
  const Point at = sim.writesOf<Point>(sim.window, "AXPosition").back();
  EXPECT_EQ(at.x, 20);
  EXPECT_EQ(at.y, 45);
  EXPECT_TRUE(sim.app->shown);
}

TEST(Peek, ScalesTheWindowDownToFitAndNeverUp) {
  const struct {
    Size window;
    Size peek;
  } cases[] = {{{1600, 1000}, {1000, 625}}, {{200, 100}, {320, 220}}, {{1, 1}, {320, 220}}};
  for (const auto& c : cases) {
    WorkerFixture sim;
    sim.init(true);
    sim.window->set("AXSize", c.window);
    sim.command(R"({"cmd":"peek","on":true,"caption":"job 1"})");
    EXPECT_EQ(sim.take(), (std::vector<nlohmann::json>{{{"ev", "peek"}, {"ok", true}}}));
    const Size size = sim.writesOf<Size>(sim.window, "AXSize").back();
    EXPECT_EQ(size.width, c.peek.width);
    EXPECT_EQ(size.height, c.peek.height);
    // 60 points from the right edge; the window and the strip above it centred vertically.
    const double x = 1440 - c.peek.width - 60;
    const double y = 437.5 - c.peek.height / 2 - 15;
    const Point at = sim.writesOf<Point>(sim.window, "AXPosition").back();
    EXPECT_EQ(at.x, x);
    EXPECT_EQ(at.y, 900 - (y + c.peek.height));
    const Rect cover = sim.app->shield->frame();
    EXPECT_EQ(cover.origin.x, x);
    EXPECT_EQ(cover.origin.y, y);
    EXPECT_EQ(cover.size.width, c.peek.width);
    EXPECT_EQ(cover.size.height, c.peek.height + 30);
    EXPECT_TRUE(sim.app->shield->isVisible());
    EXPECT_EQ(sim.app->shield->level(), 3);
    EXPECT_EQ(sim.app->sv->caption, "Live view · job 1");
    EXPECT_FALSE(sim.worker->hidden);
    EXPECT_FALSE(sim.worker->active);
    EXPECT_EQ(sim.window->actions, (std::vector<std::string>{"AXRaise", "AXRaise"}));
    sim.loop.advance(0.3);
    EXPECT_EQ(sim.window->actions.size(), 3u);
  }
}

TEST(Peek, FailsWhileShownForANonNativeWorkerAndWithoutAWindow) {
  WorkerFixture shown;
  shown.showWorker(true);
  shown.accessibility.writes.clear();
  WorkerFixture plain;
  plain.init(false);
  WorkerFixture windowless;
  windowless.init(true);
  windowless.application->attributes.clear();
  for (auto* sim : {&shown, &plain, &windowless}) {
    sim->command(R"({"cmd":"peek","on":true})");
    EXPECT_EQ(sim->take(), (std::vector<nlohmann::json>{{{"ev", "peek"}, {"ok", false}}}));
    EXPECT_TRUE(sim->accessibility.writes.empty());
    EXPECT_FALSE(sim->app->peeking);
  }
}

TEST(Peek, EndingThePeekHidesTheWorkerAndTheShield) {
  WorkerFixture sim;
  sim.init(true);
  sim.command(R"({"cmd":"peek","on":true})");
  sim.command(R"({"cmd":"peek","on":false})");
  EXPECT_FALSE(sim.app->peeking);
  EXPECT_FALSE(sim.app->shield->isVisible());
  EXPECT_TRUE(sim.worker->hidden);
  // The re-raise after a quarter second finds the peek over.
  sim.loop.advance(0.3);
  EXPECT_EQ(sim.window->actions.size(), 2u);
}

TEST(Peek, AShowEndsThePeekAndKeepsTheWindowWithTheUser) {
  WorkerFixture sim;
  sim.init(true);
  sim.command(R"({"cmd":"peek","on":true})");
  sim.command(R"({"cmd":"show"})");
  EXPECT_FALSE(sim.app->peeking);
  EXPECT_FALSE(sim.app->shield->isVisible());
  EXPECT_FALSE(sim.worker->hidden);
  EXPECT_TRUE(sim.worker->active);
}

TEST(Place, ALargeCentredRectangleInTopLeftCoordinates) {
  WorkerFixture sim;
  sim.command(R"({"cmd":"place"})");
  EXPECT_EQ(sim.take(), (std::vector<nlohmann::json>{
                            {{"ev", "place"}, {"x", 80}, {"y", 45}, {"w", 1280}, {"h", 835}}}));

  WorkerFixture board(boardOptions());
  board.command(R"({"cmd":"place","id":"j2","mouse":true})");
  EXPECT_EQ(board.take().at(0)["id"], "j2");
}

TEST(HideNow, GivesTheFocusBackOnlyWhenTheWorkerHadIt) {
  WorkerFixture front;
  front.showWorker(false);
  front.command(R"({"cmd":"hide"})");
  EXPECT_EQ(front.take(), std::vector<nlohmann::json>{visible(false)});
  EXPECT_TRUE(front.worker->hidden);
  EXPECT_TRUE(front.user->active);

  WorkerFixture elsewhere;
  elsewhere.init(false);
  elsewhere.command(R"({"cmd":"show"})");
  const auto third = elsewhere.workspace.add(900);
  third->activate();
  const int userActivations = elsewhere.user->activateCalls;
  elsewhere.command(R"({"cmd":"hide"})");
  EXPECT_TRUE(elsewhere.worker->hidden);
  EXPECT_TRUE(third->active);
  EXPECT_EQ(elsewhere.user->activateCalls, userActivations);
}

}  // namespace
}  // namespace qn::test
