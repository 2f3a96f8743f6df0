#include "companion/worker/WorkerFixture_testing.h"

namespace qn::test {
namespace {

nlohmann::json note(const std::string& kind) {
  return {{"ev", "note"}, {"text", "页面想弹到前台，已收回（" + kind + "）"}};
}

TEST(Guard, AHiddenWorkerThatActivatesItselfIsSentBack) {
  WorkerFixture sim;
  sim.init();
  sim.worker->activate();
  sim.workspace.notify(WorkspaceEvent::DidActivate, sim.worker);
  EXPECT_EQ(sim.take(), std::vector<nlohmann::json>{note("activate")});
  EXPECT_TRUE(sim.worker->hidden);
  EXPECT_TRUE(sim.user->active);
  EXPECT_FALSE(sim.worker->active);
}

TEST(Guard, AHiddenWorkerThatUnhidesItselfIsHiddenWithoutMovingTheFocus) {
  WorkerFixture sim;
  sim.init();
  const int activations = sim.user->activateCalls;
  sim.worker->unhide();
  sim.workspace.notify(WorkspaceEvent::DidUnhide, sim.worker);
  EXPECT_EQ(sim.take(), std::vector<nlohmann::json>{note("unhide")});
  EXPECT_TRUE(sim.worker->hidden);
  EXPECT_EQ(sim.user->activateCalls, activations);
}

TEST(Guard, AClickOnTheWorkersIconOutsideTheUsableAreaAsksForTheWindow) {
  WorkerFixture sim;
  sim.init();
  sim.screens.mouse = Point{700, 890};
  sim.inputTiming.happened(InputEventType::LeftMouseDown, 0.1);
  sim.worker->activate();
  sim.workspace.notify(WorkspaceEvent::DidActivate, sim.worker);
  EXPECT_EQ(sim.take(), (std::vector<nlohmann::json>{{{"ev", "toggle"}}}));
  // The guard keeps it hidden meanwhile.
  sim.loop.advance(0.05);
  EXPECT_TRUE(sim.worker->hidden);
  EXPECT_FALSE(sim.worker->active);
}

TEST(Guard, AnOldClickOrOneInsideTheScreenIsNoIconClick) {
  const struct {
    Point mouse;
    double clickAgo;
  } cases[] = {{{700, 890}, 1.0}, {{700, 400}, 0.1}};
  for (const auto& c : cases) {
    WorkerFixture sim;
    sim.init();
    sim.screens.mouse = c.mouse;
    sim.inputTiming.happened(InputEventType::LeftMouseDown, c.clickAgo);
    sim.workspace.notify(WorkspaceEvent::DidActivate, sim.worker);
    EXPECT_EQ(sim.take(), std::vector<nlohmann::json>{note("activate")});
  }
}

TEST(Guard, LeaksAreTheUsersWhileShownAndOnlyRefocusedWhilePeeking) {
  WorkerFixture shown;
  shown.showWorker(false);
  shown.workspace.notify(WorkspaceEvent::DidActivate, shown.worker);
  EXPECT_TRUE(shown.take().empty());
  EXPECT_TRUE(shown.worker->active);

  WorkerFixture peeking;
  peeking.init(true);
  peeking.command(R"({"cmd":"peek","on":true})");
  peeking.take();
  peeking.worker->activate();
  peeking.workspace.notify(WorkspaceEvent::DidActivate, peeking.worker);
  EXPECT_TRUE(peeking.take().empty());
  EXPECT_TRUE(peeking.user->active);
  EXPECT_FALSE(peeking.worker->hidden);
}

TEST(GuardTick, KeepsEachConditionOnEveryTick) {
  WorkerFixture sim;
  sim.init(true);
  // Hidden: unhidden by itself, hidden again at the next tick.
  sim.worker->hidden = false;
  sim.loop.advance(0.021);
  EXPECT_TRUE(sim.worker->hidden);
  // Peeking: an active worker gives the focus back and stays unhidden.
  sim.command(R"({"cmd":"peek","on":true})");
  sim.worker->activate();
  sim.worker->hidden = true;
  sim.loop.advance(0.021);
  EXPECT_TRUE(sim.user->active);
  EXPECT_FALSE(sim.worker->hidden);
}

TEST(GuardTick, AShownWorkerTheUserHidesCountsAsTakenBack) {
  WorkerFixture sim;
  sim.init(false);
  sim.command(R"({"cmd":"show"})");
  sim.loop.advance(0.021);
  sim.take();
  sim.worker->hide();
  sim.loop.advance(0.021);
  EXPECT_EQ(sim.take(), (std::vector<nlohmann::json>{{{"ev", "visible"}, {"v", false}}}));
  sim.loop.advance(0.1);
  EXPECT_TRUE(sim.take().empty());
}

TEST(GuardTick, AShowThatNeverTookEffectIsNotTakenBack) {
  WorkerFixture sim;
  sim.init(false);
  sim.command(R"({"cmd":"show"})");
  sim.worker->hidden = true;
  sim.loop.advance(0.1);
  EXPECT_TRUE(sim.app->shown);
}

TEST(Guard, ATerminatedWorkerEndsEveryWorkerOperation) {
  WorkerFixture sim;
  sim.showWorker(false);
  sim.worker->terminated = true;
  sim.workspace.notify(WorkspaceEvent::DidTerminate, sim.worker);
  EXPECT_EQ(sim.take(), (std::vector<nlohmann::json>{{{"ev", "visible"}, {"v", false}}}));
  EXPECT_EQ(sim.app->pid, 0);
  sim.command(R"({"cmd":"show"})");
  sim.command(R"({"cmd":"keys","text":"a"})");
  sim.command(R"({"cmd":"peek","on":true})");
  EXPECT_EQ(sim.take(), (std::vector<nlohmann::json>{{{"ev", "keys"}, {"n", -1}, {"seq", 0}},
                                                     {{"ev", "peek"}, {"ok", false}}}));
}

TEST(Guard, TheLastFrontApplicationFollowsOtherActivations) {
  WorkerFixture sim;
  sim.init();
  const auto other = sim.workspace.add(901);
  sim.workspace.notify(WorkspaceEvent::DidActivate, other);
  EXPECT_EQ(sim.app->lastFront, other);
  const auto self = sim.workspace.add(::getpid());
  sim.workspace.notify(WorkspaceEvent::DidActivate, self);
  EXPECT_EQ(sim.app->lastFront, other);
}

TEST(UserActivity, AClickInTheShownWindowThenThreeQuietSeconds) {
  WorkerFixture sim;
  sim.showWorker(true);
  sim.screens.mouse = Point{600, 400};
  sim.inputTiming.happened(InputEventType::LeftMouseDown);
  sim.loop.advance(0.25);
  EXPECT_EQ(sim.take(), (std::vector<nlohmann::json>{{{"ev", "user"}, {"active", true}}}));
  sim.loop.advance(2.5);
  const auto quiet = sim.take();
  EXPECT_TRUE(quiet.empty()) << nlohmann::json(quiet).dump();
  sim.loop.advance(0.75);
  EXPECT_EQ(sim.take(), (std::vector<nlohmann::json>{{{"ev", "user"}, {"active", false}}}));
}

TEST(UserActivity, InputAimedAtTheTabOrSyntheticInputDoesNotCount) {
  WorkerFixture sim;
  sim.showWorker(true);
  const Rect tab = sim.tabPanel().frame();
  sim.screens.mouse = Point{tab.origin.x - 3, tab.origin.y + 40};
  for (int i = 0; i < 10; ++i) {
    sim.inputTiming.happened(InputEventType::LeftMouseDown);
    sim.loop.advance(0.25);
  }
  sim.screens.mouse = Point{600, 400};
  sim.inputTiming.happened(InputEventType::KeyDown, 0, false);
  sim.loop.advance(0.25);
  EXPECT_TRUE(sim.take().empty());
}

TEST(UserActivity, OnlyWhileTheShownWorkerIsActive) {
  WorkerFixture sim;
  sim.init(true);
  sim.screens.mouse = Point{600, 400};
  sim.inputTiming.happened(InputEventType::ScrollWheel);
  sim.loop.advance(0.25);
  EXPECT_TRUE(sim.take().empty());
}

// The tab's anchor is a window of another process whose screen the window list decides.
struct Anchored : SimCompanion {
  Anchored(bool board = false) : SimCompanion(anchorOptions(board), false) {
    screens.list = {Screen{{{0, 0}, {1400, 900}}, {{0, 0}, {1400, 876}}, 1},
                    Screen{{{1400, 0}, {1280, 800}}, {{1400, 0}, {1280, 800}}, 2}};
    at(100);
    app->applicationDidFinishLaunching();
  }
  static CompanionOptions anchorOptions(bool board) {
    CompanionOptions options = board ? boardOptions() : plainOptions();
    options.panelPids = {55};
    return options;
  }
  void at(double x) { windowList.windows = {{WindowInfo{55, 0, 1.0, Rect{{x, 100}, {800, 600}}}}}; }
};

TEST(Follow, TheTabFollowsItsAnchorsToAnotherScreenOnceASecond) {
  Anchored sim;
  sim.at(1500);
  sim.loop.advance(0.76);
  EXPECT_TRUE(sim.events().empty());
  sim.loop.advance(0.25);
  EXPECT_EQ(sim.events(), (std::vector<nlohmann::json>{{{"ev", "screen"}, {"did", 2}}}));
  EXPECT_GE(sim.tabPanel().frame().origin.x, 1400);
}

TEST(Follow, HoldsStillWhileTheTabIsDraggedOrHovered) {
  Anchored dragged;
  dragged.app->dragging = true;
  Anchored hovered;
  hovered.app->view->hover = true;
  for (auto* sim : {&dragged, &hovered}) {
    sim->at(1500);
    sim->loop.advance(2.1);
    EXPECT_TRUE(sim->events().empty());
  }
}

}  // namespace
}  // namespace qn::test
