#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <limits>

#include "companion/LineReader.h"
#include "companion/SimCompanion_testing.h"
#include "tests/support/GeometryExpectations.h"

namespace qn {
namespace {

using nlohmann::json;
using test::expectFrame;
using test::SimCompanion;
using test::simOf;
using ::testing::ElementsAre;

void expectInside(Rect inner, Rect outer) {
  EXPECT_GE(inner.origin.x, outer.origin.x);
  EXPECT_GE(inner.origin.y, outer.origin.y);
  EXPECT_LE(inner.origin.x + inner.size.width, outer.origin.x + outer.size.width);
  EXPECT_LE(inner.origin.y + inner.size.height, outer.origin.y + outer.size.height);
}

// The visible buttons of the drawer by their place, top to bottom and left to right.
std::vector<std::string> visibleButtons(const App& app) {
  std::vector<Button*> shown;
  for (Button* b : {app.bView, app.bPause, app.bStop, app.bOpen, app.bYes, app.bNo, app.bUnl})
    if (!b->isHidden()) shown.push_back(b);
  std::sort(shown.begin(), shown.end(), [](Button* a, Button* b) {
    const Rect fa = a->frame(), fb = b->frame();
    return fa.origin.y != fb.origin.y ? fa.origin.y < fb.origin.y : fa.origin.x < fb.origin.x;
  });
  std::vector<std::string> titles;
  for (Button* b : shown) titles.push_back(b->title());
  return titles;
}

std::string state(const std::string& members) {
  return R"({"cmd":"state",)" + members + "}";
}

TEST(Bubble, ContentTopDownAndPlaceBesideTheTab) {
  SimCompanion sim;
  sim.command(R"({"cmd":"init","title":"Shop"})");
  sim.command(state(
      R"("state":"running","done":2,"total":4,"detail":"Detail","note":"Note","speed":"normal")"));
  sim.app->bubbleShow(true);
  App& app = *sim.app;
  EXPECT_TRUE(app.lTip->isHidden()) << "no counts outside board mode";
  EXPECT_TRUE(app.lvView->isHidden());
  EXPECT_EQ(app.lTitle->text(), "Shop · Working off-screen");
  // Sim metrics: 12.5 points wrap at 30 characters, one line is 15.625 high.
  expectFrame(app.lTitle->frame(), Rect{{14, 12}, {232, 15.625}});
  expectFrame(app.bar->frame(), Rect{{14, 34.625}, {232, 4}});
  expectFrame(app.barIn->frame(), Rect{{0, 0}, {116, 4}});
  EXPECT_DOUBLE_EQ(app.barIn->color().green, TabView::color("running").green);
  expectFrame(app.lDetail->frame(), Rect{{14, 45.625}, {232, 15}});
  expectFrame(app.lNote->frame(), Rect{{14, 65.625}, {232, 13.75}});
  expectFrame(app.seg->frame(), Rect{{12, 86.375}, {236, 22}});
  EXPECT_EQ(app.seg->selected(), 2);
  EXPECT_TRUE(app.lWarn->isHidden());
  EXPECT_THAT(visibleButtons(app), ElementsAre("View", "Pause", "Stop"));
  expectFrame(app.bView->frame(), Rect{{10, 115.375}, {80, 24}});
  expectFrame(app.bPause->frame(), Rect{{90, 115.375}, {80, 24}});
  expectFrame(app.bStop->frame(), Rect{{170, 115.375}, {80, 24}});
  EXPECT_TRUE(app.lUnl->isHidden());
  // The tab sits at the right edge: (1366, 391, 34, 94).
  const double h = 150.375;
  expectFrame(sim.bubblePanel().frame(), Rect{{1366 - 260 - 2, 438 - h / 2}, {260, h}});
  EXPECT_TRUE(sim.bubblePanel().isVisible());

  const int redraws = sim.bubblePanel().redraws;
  app.edgeLeft = true;
  app.relY = 0;
  app.layout();
  EXPECT_GT(sim.bubblePanel().redraws, redraws) << "the tab's layout refreshes the bubble";
  expectFrame(sim.bubblePanel().frame(), Rect{{34 + 2, 6}, {260, h}});
}

TEST(Bubble, TitleLineVariants) {
  struct Case {
    bool zh;
    std::string title, st;
    bool shown;
    std::string line;
  };
  const std::vector<Case> cases = {
      {false, "Shop", "queued", false, "Shop · Queued"},
      {true, "Shop", "queued", false, "Shop · 排队中"},
      {false, "", "queued", false, "Queued"},
      {true, "", "human", false, "需要你处理"},
      {false, "Shop", "weird", false, "Shop · "},
      {false, "Shop", "running", true, "Shop · Working"},
      {true, "", "running", true, "正在干活"},
      {false, "Shop", "paused", true, "Shop · Paused"},
  };
  for (const auto& c : cases) {
    SimCompanion sim(test::plainOptions(c.zh));
    sim.app->title = c.title;
    sim.app->shown = c.shown;
    sim.command(state(R"("state":")" + c.st + "\""));
    sim.app->bubbleShow(true);
    EXPECT_EQ(sim.app->lTitle->text(), c.line);
  }
}

// Progress that makes no sense is drawn inside the track; the stored numbers stay as received.
TEST(Bubble, ProgressBarFill) {
  constexpr int64_t kMax = std::numeric_limits<int64_t>::max();
  constexpr int64_t kMin = std::numeric_limits<int64_t>::min();
  struct Case {
    int64_t done, total;
    bool hidden;
    double width;
  };
  const std::vector<Case> cases = {
      {7, 5, false, 232},    {0, 0, true, 0},        {3, 0, true, 0},
      {-3, 10, false, 0},    {5, 10, false, 116},    {2, -4, true, 0},
      {kMax, 1, false, 232}, {kMin, kMax, false, 0}, {kMax, kMax, false, 232},
  };
  for (const auto& c : cases) {
    SimCompanion sim;
    sim.command(state(R"("state":"running","done":)" + std::to_string(c.done) + R"(,"total":)" +
                      std::to_string(c.total)));
    sim.app->bubbleShow(true);
    EXPECT_EQ(sim.app->bar->isHidden(), c.hidden) << c.done << "/" << c.total;
    if (!c.hidden) {
      EXPECT_DOUBLE_EQ(sim.app->barIn->frame().size.width, c.width);
    }
    EXPECT_EQ(sim.app->view->done, c.done);
    EXPECT_EQ(sim.app->view->total, c.total);
  }
}

TEST(Bubble, NineJobsListSevenWithTheSelectedLast) {
  SimCompanion sim(test::boardOptions());
  std::string tasks;
  for (int i = 1; i <= 9; ++i)
    tasks += std::string(i > 1 ? "," : "") + R"({"id":"j)" + std::to_string(i) +
             R"(","state":"running","done":1,"total":2})";
  sim.board(R"("tasks":[)" + tasks + R"(],"running":9,"queued":2,"fseq":1,"focus":"j9")");
  ASSERT_EQ(sim.app->sel, "j9");
  App& app = *sim.app;
  std::vector<std::string> rows;
  for (const auto& job : app.lv->rows) rows.push_back(job.id);
  EXPECT_THAT(rows, ElementsAre("j1", "j2", "j3", "j4", "j5", "j6", "j9"));
  EXPECT_EQ(app.lv->more, 2);
  EXPECT_EQ(app.lv->sel, "j9");
  EXPECT_FALSE(app.lvView->isHidden());
  expectFrame(app.lvView->frame(), Rect{{6, 8}, {278, 24 * 7 + 20}});
  EXPECT_EQ(app.lTip->text(), "9 running · 2 queued");
  expectFrame(app.lTip->frame(), Rect{{14, 202}, {262, 13.75}});
  EXPECT_DOUBLE_EQ(app.lTitle->frame().origin.y, 202 + 13.75 + 5 + 3);
  EXPECT_DOUBLE_EQ(sim.bubblePanel().frame().size.width, 290);

  // A selected job among the first seven stays where it is.
  app.pick("j2");
  rows.clear();
  for (const auto& job : app.lv->rows) rows.push_back(job.id);
  EXPECT_THAT(rows, ElementsAre("j1", "j2", "j3", "j4", "j5", "j6", "j7"));
}

TEST(Bubble, CountsLine) {
  struct Case {
    bool zh;
    std::string tasks;
    std::string members;
    std::string tip;
    bool orange;
  };
  const std::string one = R"([{"id":"a","state":"running"}])";
  const std::string two = R"([{"id":"a","state":"running"},{"id":"b","state":"queued"}])";
  const std::vector<Case> cases = {
      {false, one, R"("running":1)", "", false},
      {false, two, R"("running":1)", "1 running", false},
      {false, one, R"("running":2,"queued":1,"held":3,"low":true)",
       "2 running · 1 queued · 3 on hold · low memory", true},
      {true, one, R"("running":2,"queued":1,"held":3,"low":true)",
       "同时 2 个 · 排队 1 个 · 停住 3 个 · 内存紧张，先少开几个", true},
      {false, one, R"("running":-4,"queued":0,"held":-1)", "", false},
  };
  for (const auto& c : cases) {
    SimCompanion sim(test::boardOptions(c.zh));
    sim.board(R"("tasks":)" + c.tasks + "," + c.members);
    EXPECT_EQ(sim.app->lTip->text(), c.tip) << c.members;
    EXPECT_EQ(sim.app->lTip->isHidden(), c.tip.empty());
    EXPECT_DOUBLE_EQ(sim.app->lTip->color().alpha, c.orange ? 1 : 0.55);
    EXPECT_DOUBLE_EQ(sim.app->lTip->color().green, c.orange ? 0.72 : 1);
  }
}

TEST(Bubble, ButtonRowPerState) {
  struct Case {
    std::string members;
    bool shown, mirrorOn;
    std::vector<std::string> buttons;
  };
  const std::vector<Case> cases = {
      {R"("state":"held")", false, false, {"Resume", "Stop"}},
      {R"("state":"queued")", false, false, {"Cancel"}},
      {R"("state":"done","result":"/r")", false, false, {"Open results", "Close"}},
      {R"("state":"stopped")", false, false, {"Close"}},
      {R"("state":"running")", false, false, {"View", "Pause", "Stop"}},
      {R"("state":"running")", true, false, {"Hide", "Pause", "Stop"}},
      {R"("state":"running")", false, true, {"Hide", "Pause", "Stop"}},
      {R"("state":"paused")", false, false, {"View", "Resume", "Stop"}},
      {R"("state":"human")", false, false, {"I'll handle it", "Pause", "Stop"}},
      {R"("state":"human")", true, false, {"Hide window", "Pause", "Stop"}},
      {R"("state":"running","result":"/r","done":0)", false, false, {"View", "Pause", "Stop"}},
      {R"("state":"running","result":"/r","done":1)",
       false,
       false,
       {"View", "Pause", "Stop", "Open results"}},
  };
  for (const auto& c : cases) {
    SimCompanion sim;
    sim.app->shown = c.shown;
    sim.app->mirrorOn = c.mirrorOn;
    sim.command(state(c.members));
    sim.app->bubbleShow(true);
    EXPECT_EQ(visibleButtons(*sim.app), c.buttons) << c.members;
  }
}

TEST(Bubble, MirrorHidesOnlyForTheMirroredJobOnABoard) {
  SimCompanion sim(test::boardOptions());
  sim.board(R"("tasks":[{"id":"a","state":"running"},{"id":"b","state":"running"}])");
  sim.app->mirrorOn = true;
  sim.app->mirrorId = "b";
  sim.app->bubbleShow(true);
  EXPECT_EQ(sim.app->bView->title(), "View");
  sim.app->mirrorId = "a";
  sim.app->bubbleShow(true);
  EXPECT_EQ(sim.app->bView->title(), "Hide");
}

TEST(Bubble, SharedWidthsAndTheExtraResultButton) {
  SimCompanion sim;
  sim.command(state(R"("state":"held")"));
  sim.app->bubbleShow(true);
  const double y = sim.app->bPause->frame().origin.y;
  expectFrame(sim.app->bPause->frame(), Rect{{10, y}, {120, 24}});
  expectFrame(sim.app->bStop->frame(), Rect{{130, y}, {120, 24}});
  sim.command(state(R"("state":"queued")"));
  expectFrame(sim.app->bStop->frame(), Rect{{10, y}, {240, 24}});

  sim.command(state(R"("state":"running","done":1,"total":3,"result":"/r")"));
  const double row = sim.app->bStop->frame().origin.y;
  expectFrame(sim.app->bOpen->frame(), Rect{{10, row - 1 + 32 - 2}, {240, 24}});
  const double withExtra = sim.bubblePanel().frame().size.height;
  sim.app->askFast = true;
  sim.app->bubbleShow(true);
  EXPECT_THAT(visibleButtons(*sim.app), ElementsAre("Go faster", "Cancel"));
  EXPECT_FALSE(sim.app->lWarn->isHidden());
  EXPECT_LT(sim.app->lWarn->frame().origin.y, sim.app->bYes->frame().origin.y);
  EXPECT_NE(sim.bubblePanel().frame().size.height, withExtra);
}

TEST(Bubble, SelectorHiddenWhenEndedParkedOrWithoutSpeed) {
  struct Case {
    std::string members;
    bool hidden;
    int selected;
  };
  const std::vector<Case> cases = {
      {R"("state":"running","speed":"slowest")", false, 0},
      {R"("state":"running","speed":"fast")", false, 3},
      {R"("state":"running","speed":"turbo")", false, 1},
      {R"("state":"running")", true, -1},
      {R"("state":"done","speed":"safe")", true, -1},
      {R"("state":"queued","speed":"safe")", true, -1},
      {R"("state":"held","speed":"safe")", true, -1},
  };
  for (const auto& c : cases) {
    SimCompanion sim;
    sim.command(state(c.members));
    sim.app->bubbleShow(true);
    EXPECT_EQ(sim.app->seg->isHidden(), c.hidden) << c.members;
    if (!c.hidden) {
      EXPECT_EQ(sim.app->seg->selected(), c.selected) << c.members;
    }
  }
}

TEST(Bubble, FastRequestClearedWhenThePointerLeaves) {
  SimCompanion sim;
  sim.command(state(R"("state":"running","speed":"safe")"));
  sim.app->view->mouseEntered();
  ASSERT_TRUE(sim.bubblePanel().isVisible());
  simOf(sim.app->seg).choose(3);
  EXPECT_EQ(sim.app->seg->selected(), 3);
  sim.app->view->mouseExited();
  sim.loop.advance(0.34);
  EXPECT_TRUE(sim.bubblePanel().isVisible());
  EXPECT_TRUE(sim.app->askFast);
  sim.loop.advance(0.02);
  EXPECT_FALSE(sim.bubblePanel().isVisible());
  EXPECT_FALSE(sim.app->askFast);
  EXPECT_TRUE(sim.lines.empty());
}

TEST(Bubble, TallerThanTheScreenHangsSixPointsBelowTheTop) {
  SimCompanion sim;
  sim.app->title = std::string(2000, 'T');
  sim.command(state(R"("state":"running","detail":")" + std::string(2000, 'd') + R"(","note":")" +
                    std::string(2000, 'n') + "\""));
  sim.app->bubbleShow(true);
  EXPECT_DOUBLE_EQ(sim.app->lTitle->frame().size.height, 300) << "a label is at most 300 high";
  const Rect frame = sim.bubblePanel().frame();
  EXPECT_GT(frame.size.height, 876);
  EXPECT_DOUBLE_EQ(frame.origin.y + frame.size.height, 876 - 6);
}

TEST(Bubble, PinWithThePointerInTheDrawer) {
  SimCompanion sim;
  sim.app->pin(8);
  EXPECT_TRUE(sim.bubblePanel().isVisible());
  sim.app->dv->mouseEntered();
  EXPECT_TRUE(sim.app->inDrawer);
  sim.loop.advance(8.1);
  sim.loop.advance(1);
  EXPECT_TRUE(sim.bubblePanel().isVisible()) << "the pointer keeps it open after the pin";
  sim.app->dv->mouseExited();
  sim.loop.advance(0.34);
  EXPECT_TRUE(sim.bubblePanel().isVisible());
  sim.loop.advance(0.02);
  EXPECT_FALSE(sim.bubblePanel().isVisible());
}

TEST(Bubble, PinAloneClosesAfterItsTimePlusTheDelay) {
  SimCompanion sim;
  sim.app->pin(8);
  sim.loop.advance(8.44);
  EXPECT_TRUE(sim.bubblePanel().isVisible());
  sim.loop.advance(0.02);
  EXPECT_FALSE(sim.bubblePanel().isVisible());
}

TEST(Bubble, OnlyTheLastPinCounts) {
  struct Case {
    double first, second, closesAt;
  };
  for (const Case& c : {Case{1, 5, 5.45}, Case{5, 1, 1.45}}) {
    SimCompanion sim;
    sim.app->pin(c.first);
    sim.app->pin(c.second);
    sim.loop.advance(c.closesAt - 0.01);
    EXPECT_TRUE(sim.bubblePanel().isVisible()) << c.first << " then " << c.second;
    sim.loop.advance(0.02);
    EXPECT_FALSE(sim.bubblePanel().isVisible()) << c.first << " then " << c.second;
  }
}

TEST(Bubble, DrawerCommandClosesAPinnedBubbleAtOnce) {
  SimCompanion sim;
  sim.command(R"({"cmd":"drawer","on":true,"sec":30})");
  EXPECT_TRUE(sim.bubblePanel().isVisible());
  sim.command(R"({"cmd":"drawer","on":false})");
  EXPECT_FALSE(sim.bubblePanel().isVisible());
}

TEST(Bubble, NegativeSecondsCloseAfterTheDelayOnly) {
  SimCompanion sim;
  sim.loop.advance(10);
  sim.command(R"({"cmd":"drawer","sec":-5})");
  EXPECT_TRUE(sim.bubblePanel().isVisible());
  EXPECT_DOUBLE_EQ(sim.app->pinUntil, 5) << "kept as received";
  sim.loop.advance(0.34);
  EXPECT_TRUE(sim.bubblePanel().isVisible());
  sim.loop.advance(0.02);
  EXPECT_FALSE(sim.bubblePanel().isVisible());
}

TEST(Bubble, GuardModeNeverShowsIt) {
  CompanionOptions options;
  options.guardMode = true;
  options.quietUI = true;
  SimCompanion sim(options);
  sim.app->pin(5);
  EXPECT_FALSE(sim.bubblePanel().isVisible());
  EXPECT_EQ(sim.app->lTitle->text(), "Starting") << "the content is still kept up to date";
}

TEST(Bubble, SwitchLineAndButton) {
  SimCompanion sim(test::boardOptions());
  sim.board(
      R"("tasks":[{"id":"a","state":"queued"}],"unl":{"warn":true,"busy":true,"en":{"line":"Locked","btn":"Unlock"}})");
  App& app = *sim.app;
  app.bubbleShow(true);
  EXPECT_EQ(app.lUnl->text(), "Locked");
  EXPECT_DOUBLE_EQ(app.lUnl->color().green, 0.72);
  EXPECT_EQ(app.bUnl->title(), "Unlock");
  EXPECT_FALSE(app.bUnl->isHidden());
  EXPECT_FALSE(app.bUnl->isEnabled());
  const double rowY = app.bStop->frame().origin.y;
  expectFrame(app.lUnl->frame(), Rect{{14, rowY - 1 + 32 + 4}, {232, 13.75}});
  expectFrame(app.bUnl->frame(), Rect{{10, rowY - 1 + 32 + 4 + 18.75 - 2}, {240, 24}});
  EXPECT_DOUBLE_EQ(sim.bubblePanel().frame().size.height, rowY - 1 + 32 + 4 + 18.75 + 28 + 4);

  sim.board(R"("tasks":[{"id":"a","state":"queued"}],"unl":{"en":{"line":"Open"}})");
  EXPECT_DOUBLE_EQ(app.lUnl->color().alpha, 0.7);
  EXPECT_TRUE(app.bUnl->isHidden());
  sim.board(R"("tasks":[{"id":"a","state":"queued"}])");
  EXPECT_TRUE(app.lUnl->isHidden());
}

TEST(Bubble, HintSeenIsReportedOnceWhenTheBubbleCloses) {
  struct Case {
    std::string unl;
    bool viaTab;
    std::vector<std::string> events;
  };
  const std::vector<Case> cases = {
      {R"({"hint":true,"ver":3,"en":{"line":"New"}})",
       false,
       {R"({"ev":"unl","v":"seen","ver":3})"}},
      {R"({"hint":true,"ver":3,"en":{"line":"New"}})",
       true,
       {R"({"ev":"unl","v":"seen","ver":3})"}},
      {R"({"hint":true,"ver":"3","en":{"line":"New"}})",
       false,
       {R"({"ev":"unl","v":"seen","ver":0})"}},
      {R"({"hint":true,"ver":3,"en":{"btn":"B"}})", false, {}},
      {R"({"hint":false,"ver":3,"en":{"line":"New"}})", false, {}},
      {R"({"hint":"true","en":{"line":"New"}})", false, {}},
  };
  for (const auto& c : cases) {
    SimCompanion sim(test::boardOptions());
    sim.board(R"("tasks":[{"id":"a","state":"queued"}],"unl":)" + c.unl);
    if (c.viaTab) {
      sim.app->view->mouseEntered();
      sim.app->view->mouseExited();
    } else {
      sim.app->dv->mouseEntered();
      sim.app->dv->mouseExited();
    }
    sim.loop.advance(1);
    EXPECT_FALSE(sim.bubblePanel().isVisible());
    sim.app->bubbleShow(false);
    std::vector<json> expected;
    for (const auto& e : c.events) expected.push_back(json::parse(e));
    EXPECT_EQ(sim.events(), expected) << c.unl;
  }
}

TEST(Bubble, SetShownRefreshesTheOpenBubble) {
  SimCompanion sim;
  sim.command(state(R"("state":"running")"));
  sim.app->bubbleShow(true);
  EXPECT_EQ(sim.app->bView->title(), "View");
  sim.app->setShown(true);
  EXPECT_EQ(sim.app->bView->title(), "Hide");
  EXPECT_EQ(sim.app->lTitle->text(), "Working");
  EXPECT_THAT(sim.events(), ElementsAre(json::parse(R"({"ev":"visible","v":true})")));
}

// Between boards the tab follows setShown; the next board decides again.
TEST(Bubble, TabShownBetweenBoards) {
  SimCompanion sim(test::boardOptions());
  sim.board(R"("tasks":[{"id":"a","state":"running"},{"id":"b","state":"running"}])");
  EXPECT_FALSE(sim.app->view->shown);
  sim.app->setShown(true);
  EXPECT_TRUE(sim.app->view->shown);
  sim.board(R"("tasks":[{"id":"a","state":"running"},{"id":"b","state":"running"}])");
  EXPECT_FALSE(sim.app->view->shown);
  EXPECT_FALSE(sim.app->shown);
  sim.board(R"("tasks":[{"id":"a","state":"running"},{"id":"b","state":"running","shown":true}])");
  EXPECT_TRUE(sim.app->view->shown) << "any shown job";
  EXPECT_FALSE(sim.app->shown) << "the selected one is not";
  sim.app->mirrorOn = true;
  sim.app->setShown(true);
  sim.app->setShown(false);
  EXPECT_TRUE(sim.app->view->shown) << "the mirror keeps it";
}

TEST(Bubble, InvalidUtf8TitleIsShownReplaced) {
  SimCompanion sim(test::boardOptions());
  const auto command = parseCommandLine(
      "{\"cmd\":\"board\",\"tasks\":[{\"id\":\"a\",\"state\":\"queued\",\"title\":\"x\xE2\x82\"}]"
      "}");
  ASSERT_TRUE(command);
  sim.app->handle(*command);
  sim.app->bubbleShow(true);
  EXPECT_EQ(sim.app->lTitle->text(), "x\xEF\xBF\xBD · Queued");
}

TEST(Bubble, BadInputKeepsTheBubbleOnScreen) {
  SimCompanion sim(test::boardOptions());
  const std::string longTitle(100000, 'x');
  std::string tasks;
  for (int i = 0; i < 10000; ++i)
    tasks += std::string(i ? "," : "") + R"({"id":"j)" + std::to_string(i) + R"(","title":")" +
             (i < 3 ? longTitle : "t") + R"(","state":"running","done":-5,"total":-1})";
  sim.board(R"("tasks":[)" + tasks +
            R"(],"running":1e300,"unl":{"en":{"line":[1],"btn":{"a":1}},"ver":[]})");
  App& app = *sim.app;
  ASSERT_EQ(app.jobs.size(), 10000u);
  EXPECT_TRUE(sim.bubblePanel().isVisible());
  EXPECT_EQ(app.lv->rows.size(), 7u);
  EXPECT_EQ(app.lv->more, 9993);
  EXPECT_LE(app.lTitle->frame().size.height, 300);
  EXPECT_TRUE(app.bar->isHidden());
  EXPECT_TRUE(app.bUnl->isHidden());
  const Rect visible = sim.screens.list[0].visibleFrame;
  expectInside(sim.bubblePanel().frame(), visible);
  sim.app->bubbleShow(false);
  EXPECT_TRUE(sim.lines.empty());
}

}  // namespace
}  // namespace qn
