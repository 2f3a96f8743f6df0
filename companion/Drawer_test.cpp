#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <functional>

#include "companion/SimCompanion_testing.h"
#include "tests/support/GeometryExpectations.h"

namespace qn {
namespace {

using nlohmann::json;
using test::expectColor;
using test::SimCompanion;
using test::simOf;
using ::testing::ElementsAre;

TEST(Drawer, ControlsWithTheirFontsAndColours) {
  SimCompanion sim;
  App& app = *sim.app;
  EXPECT_EQ(sim.bubblePanel().content(), app.dv.get());
  struct LabelCase {
    Label* label;
    double size;
    FontWeight weight;
    Color color;
  };
  const Color orange{1.0, 0.72, 0.3, 1};
  const std::vector<LabelCase> labels = {
      {app.lTitle, 12.5, FontWeight::Semibold, {1, 1, 1, 1}},
      {app.lDetail, 12, FontWeight::Regular, {1, 1, 1, 0.85}},
      {app.lNote, 11, FontWeight::Regular, {1, 1, 1, 0.6}},
      {app.lWarn, 11, FontWeight::Regular, orange},
      {app.lTip, 11, FontWeight::Regular, {1, 1, 1, 0.55}},
      {app.lUnl, 11, FontWeight::Regular, {1, 1, 1, 1}},
  };
  for (const auto& c : labels) {
    SimLabel& label = simOf(c.label);
    EXPECT_DOUBLE_EQ(label.font.size, c.size);
    EXPECT_EQ(label.font.weight, c.weight);
    expectColor(label.color(), c.color);
    EXPECT_EQ(label.text(), "");
  }
  for (Button* button : {app.bView, app.bPause, app.bStop, app.bOpen, app.bYes, app.bNo, app.bUnl})
    EXPECT_DOUBLE_EQ(simOf(button).font.size, 11.5);
  EXPECT_EQ(app.bOpen->title(), "Open results");
  EXPECT_EQ(app.bYes->title(), "Go faster");
  EXPECT_EQ(app.bNo->title(), "Cancel");
  expectColor(app.bar->color(), Color{1, 1, 1, 0.15});
  EXPECT_DOUBLE_EQ(simOf(app.bar).cornerRadius, 2);
  EXPECT_EQ(simOf(app.barIn).parent, app.bar);
  EXPECT_DOUBLE_EQ(simOf(app.barIn).cornerRadius, 2);
  EXPECT_THAT(simOf(app.seg).titles, ElementsAre("Slowest", "Safe", "Normal", "Fast"));

  SimCompanion zh(test::plainOptions(true));
  EXPECT_THAT(simOf(zh.app->seg).titles, ElementsAre("最稳", "稳", "标准", "快"));
  EXPECT_EQ(zh.app->bOpen->title(), "打开结果");
  EXPECT_EQ(zh.app->bYes->title(), "确认调快");
  EXPECT_EQ(zh.app->bNo->title(), "不调了");
}

// Every control writes exactly its event; board mode adds the selected job's id to the events
// that go through send.
TEST(Drawer, EventsOfTheControls) {
  struct Case {
    std::string name;
    std::string tasks;  // the selected job is "a"
    std::string unl;
    std::function<void(SimCompanion&)> act;
    std::vector<std::string> events;  // in board mode
    bool sent;                        // through send: no id outside board mode
  };
  const auto click = [](Button* App::*button) {
    return [button](SimCompanion& sim) { simOf((*sim.app).*button).click(); };
  };
  const auto choose = [](int index) {
    return [index](SimCompanion& sim) { simOf(sim.app->seg).choose(index); };
  };
  const std::string running =
      R"([{"id":"a","state":"running","speed":"normal"},{"id":"b","state":"queued"}])";
  const std::vector<Case> cases = {
      {"view", running, "", click(&App::bView), {R"({"ev":"toggle","id":"a"})"}, true},
      {"pause",
       running,
       "",
       click(&App::bPause),
       {R"({"ev":"menu","item":"pause","id":"a"})"},
       true},
      {"resume paused",
       R"([{"id":"a","state":"paused"},{"id":"b","state":"queued"}])",
       "",
       click(&App::bPause),
       {R"({"ev":"menu","item":"resume","id":"a"})"},
       true},
      {"resume held",
       R"([{"id":"a","state":"held"},{"id":"b","state":"held"}])",
       "",
       click(&App::bPause),
       {R"({"ev":"menu","item":"resume","id":"a"})"},
       true},
      {"stop", running, "", click(&App::bStop), {R"({"ev":"menu","item":"stop","id":"a"})"}, true},
      {"close",
       R"([{"id":"a","state":"done","result":"/r"},{"id":"b","state":"done"}])",
       "",
       click(&App::bStop),
       {R"({"ev":"menu","item":"close","id":"a"})"},
       true},
      {"open",
       R"([{"id":"a","state":"done","result":"/r"},{"id":"b","state":"done"}])",
       "",
       click(&App::bOpen),
       {R"({"ev":"menu","item":"open","id":"a"})"},
       true},
      {"speed", running, "", choose(0), {R"({"ev":"speed","v":"slowest","id":"a"})"}, true},
      {"fast asks first", running, "", choose(3), {}, true},
      {"go faster",
       running,
       "",
       [](SimCompanion& sim) {
         simOf(sim.app->seg).choose(3);
         simOf(sim.app->bYes).click();
       },
       {R"({"ev":"speed","v":"fast","id":"a"})"},
       true},
      {"cancel faster",
       running,
       "",
       [](SimCompanion& sim) {
         simOf(sim.app->seg).choose(3);
         simOf(sim.app->bNo).click();
       },
       {},
       true},
      {"switch on",
       running,
       R"({"en":{"btn":"Unlock"}})",
       click(&App::bUnl),
       {R"({"ev":"unl","v":"on"})"},
       false},
      {"switch off",
       running,
       R"({"on":true,"en":{"btn":"Lock"}})",
       click(&App::bUnl),
       {R"({"ev":"unl","v":"off"})"},
       false},
      {"switch busy",
       running,
       R"({"on":true,"busy":true,"en":{"btn":"Lock"}})",
       [](SimCompanion& sim) {
         simOf(sim.app->bUnl).click();
         sim.app->unlC();
       },
       {},
       false},
      {"pick",
       running,
       "",
       [](SimCompanion& sim) {
         sim.app->lv->mouseDown(Point{5, 30});
       },
       {R"({"ev":"pick","id":"b"})"},
       false},
      {"pick the selected row",
       running,
       "",
       [](SimCompanion& sim) {
         sim.app->lv->mouseDown(Point{5, 3});
       },
       {},
       false},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    SimCompanion sim(test::boardOptions());
    sim.board(R"("tasks":)" + c.tasks + (c.unl.empty() ? "" : R"(,"unl":)" + c.unl));
    ASSERT_EQ(sim.app->sel, "a");
    sim.lines.clear();
    c.act(sim);
    std::vector<json> expected;
    for (const auto& e : c.events) expected.push_back(json::parse(e));
    EXPECT_EQ(sim.events(), expected);
  }
  // Outside board mode the same sends carry no id.
  SimCompanion plain;
  plain.command(R"({"cmd":"state","state":"running","speed":"normal"})");
  simOf(plain.app->bView).click();
  simOf(plain.app->bPause).click();
  simOf(plain.app->seg).choose(2);
  EXPECT_THAT(plain.events(), ElementsAre(json::parse(R"({"ev":"toggle"})"),
                                          json::parse(R"({"ev":"menu","item":"pause"})"),
                                          json::parse(R"({"ev":"speed","v":"normal"})")));
}

TEST(Drawer, FastSpeedConfirmation) {
  SimCompanion sim;
  sim.command(R"({"cmd":"state","state":"running","speed":"normal"})");
  sim.app->bubbleShow(true);
  SimSegmentedControl& seg = simOf(sim.app->seg);
  EXPECT_EQ(seg.selected(), 2);
  seg.choose(3);
  EXPECT_TRUE(sim.app->askFast);
  EXPECT_TRUE(sim.lines.empty());
  EXPECT_EQ(seg.selected(), 3);
  EXPECT_THAT(sim.app->lWarn->text(), ::testing::StartsWith("Fast: about 90/hour."));
  EXPECT_FALSE(sim.app->bYes->isHidden());
  EXPECT_TRUE(sim.app->bStop->isHidden());
  simOf(sim.app->bNo).click();
  EXPECT_FALSE(sim.app->askFast);
  EXPECT_EQ(seg.selected(), 2) << "back to the job's speed";
  EXPECT_EQ(sim.app->lWarn->text(), "");
  EXPECT_TRUE(sim.lines.empty());

  // A job already running fast takes the choice at once.
  sim.command(R"({"cmd":"state","state":"running","speed":"fast"})");
  seg.choose(3);
  EXPECT_FALSE(sim.app->askFast);
  EXPECT_THAT(sim.events(), ElementsAre(json::parse(R"({"ev":"speed","v":"fast"})")));
}

TEST(Drawer, PickCopiesTheJobAndDropsTheFastRequest) {
  SimCompanion sim(test::boardOptions());
  sim.board(
      R"("tasks":[{"id":"a","state":"running","title":"A"},{"id":"b","state":"paused","title":"B","detail":"d","speed":"safe","note":"n","result":"/r","shown":true}])");
  sim.app->askFast = true;
  sim.app->pick("nobody");
  EXPECT_TRUE(sim.app->askFast);
  EXPECT_EQ(sim.app->sel, "a");
  sim.app->pick("b");
  EXPECT_EQ(sim.app->sel, "b");
  EXPECT_FALSE(sim.app->askFast);
  EXPECT_EQ(sim.app->title, "B");
  EXPECT_EQ(sim.app->detail, "d");
  EXPECT_EQ(sim.app->speed, "safe");
  EXPECT_EQ(sim.app->note, "n");
  EXPECT_EQ(sim.app->result, "/r");
  EXPECT_TRUE(sim.app->shown);
  EXPECT_TRUE(sim.bubblePanel().isVisible());
  EXPECT_EQ(sim.app->lTitle->text(), "B · Paused");
  EXPECT_EQ(sim.app->lv->sel, "b");
  EXPECT_THAT(sim.events(), ElementsAre(json::parse(R"({"ev":"pick","id":"b"})")));
}

std::vector<std::string> menuTitles(const SimPanels& panels) {
  std::vector<std::string> titles;
  for (const auto& item : panels.menu)
    titles.push_back(item.separator ? "—" : (item.enabled ? "" : "(off) ") + item.title);
  return titles;
}

// What each enabled item writes: its key, or "toggle" for the window item.
std::vector<std::string> menuKeys(SimCompanion& sim) {
  std::vector<std::string> keys;
  for (const auto& item : sim.panels.menu) {
    if (!item.action) continue;
    sim.lines.clear();
    item.action();
    const auto events = sim.events();
    keys.push_back(events.size() != 1          ? "?"
                   : events[0]["ev"] == "menu" ? events[0]["item"].get<std::string>()
                                               : events[0]["ev"].get<std::string>());
  }
  return keys;
}

TEST(Drawer, ContextMenuPerState) {
  struct Case {
    std::string state;
    bool shown, mirrorOn;
    std::string result;
    std::vector<std::string> titles;
    std::vector<std::string> keys;
  };
  const std::vector<Case> cases = {
      {"human",
       false,
       false,
       "",
       {"I'll handle it (show the window)", "Pause", "—", "Stop"},
       {"toggle", "pause", "stop"}},
      {"human",
       true,
       false,
       "",
       {"Hide window", "Pause", "—", "Stop"},
       {"toggle", "pause", "stop"}},
      {"running",
       false,
       true,
       "",
       {"Hide", "Pause", "Take over (pause AI)", "—", "Stop"},
       {"toggle", "pause", "take", "stop"}},
      {"running", true, false, "", {"Hide", "Pause", "—", "Stop"}, {"toggle", "pause", "stop"}},
      {"paused",
       false,
       false,
       "",
       {"Live view", "Resume", "Take over (pause AI)", "—", "Stop"},
       {"toggle", "resume", "take", "stop"}},
      {"ai", false, false, "", {"Live view", "Pause", "—", "Stop"}, {"toggle", "pause", "stop"}},
      {"weird", false, false, "", {"Live view", "Pause", "—", "Stop"}, {"toggle", "pause", "stop"}},
      {"queued", false, false, "", {"Cancel"}, {"stop"}},
      {"held", false, false, "", {"Resume", "Stop"}, {"resume", "stop"}},
      {"done", false, false, "", {"Close"}, {"close"}},
      {"error", false, false, "/r", {"Open results", "Close"}, {"open", "close"}},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.state);
    SimCompanion sim;
    sim.command(R"({"cmd":"state","state":")" + c.state + R"(","result":")" + c.result + "\"}");
    sim.app->shown = c.shown;
    sim.app->mirrorOn = c.mirrorOn;
    sim.app->view->rightMouseDown(Point{1380, 400});
    EXPECT_EQ(sim.panels.menusShown, 1);
    EXPECT_DOUBLE_EQ(sim.panels.menuAt.x, 1380);
    EXPECT_EQ(menuTitles(sim.panels), c.titles);
    EXPECT_EQ(menuKeys(sim), c.keys);
  }
}

TEST(Drawer, ContextMenuInBoardModeAndChinese) {
  SimCompanion sim(test::boardOptions(true));
  sim.board(R"("tasks":[{"id":"a","state":"queued","title":"Shop A"}])");
  sim.app->menu(Point{});
  EXPECT_THAT(menuTitles(sim.panels), ElementsAre("不排了")) << "one job: no title";
  sim.board(R"("tasks":[{"id":"a","state":"queued","title":"Shop A"},{"id":"b","state":"done"}])");
  sim.app->menu(Point{});
  EXPECT_THAT(menuTitles(sim.panels), ElementsAre("(off) Shop A", "不排了"));
  EXPECT_THAT(menuKeys(sim), ElementsAre("stop"));
  EXPECT_EQ(sim.events().at(0)["id"], "a");
  sim.board(R"("tasks":[{"id":"a","state":"running"},{"id":"b","state":"done"}])");
  sim.app->menu(Point{});
  EXPECT_THAT(menuTitles(sim.panels), ElementsAre("(off) ", "看画面（只能看）", "暂停",
                                                  "我自己来（AI 先停）", "—", "停止任务"));
  sim.app->sel = "gone";
  sim.app->menu(Point{});
  EXPECT_THAT(menuTitles(sim.panels), ElementsAre("看画面（只能看）", "暂停", "—", "停止任务"))
      << "no current job: no title, and its empty state counts as working";
}

TEST(Drawer, SwitchMembersReadByType) {
  struct Case {
    std::string unl;
    bool on, busy;
    std::string line;
  };
  const std::vector<Case> cases = {
      {R"({"on":true,"busy":false,"en":{"line":"L","btn":"B"}})", true, false, "L"},
      {R"({"on":"yes","busy":1,"en":{"line":5}})", false, false, ""},
      {R"({"en":"line"})", false, false, ""},
      {R"({"en":["line"]})", false, false, ""},
      {R"({"zh":{"line":"中"}})", false, false, ""},
      {R"([1,2])", false, false, ""},
      {R"("on")", false, false, ""},
      {R"(null)", false, false, ""},
  };
  for (const auto& c : cases) {
    SimCompanion sim(test::boardOptions());
    sim.board(R"("tasks":[{"id":"a","state":"running"}],"unl":)" + c.unl);
    EXPECT_EQ(sim.app->unlOn("on"), c.on) << c.unl;
    EXPECT_EQ(sim.app->unlOn("busy"), c.busy) << c.unl;
    EXPECT_EQ(sim.app->unlText("line"), c.line) << c.unl;
  }
  SimCompanion sim(test::boardOptions());
  sim.board(R"("tasks":[{"id":"a","state":"running"}],"unl":{"en":{"line":"L"}})");
  sim.app->askFast = true;
  EXPECT_EQ(sim.app->unlText("line"), "") << "hidden while the confirmation shows";
  SimCompanion plain;
  plain.app->unl = json::parse(R"({"en":{"line":"L"}})");
  EXPECT_EQ(plain.app->unlText("line"), "") << "only in board mode";
  plain.app->unlC();
  EXPECT_THAT(plain.events(), ElementsAre(json::parse(R"({"ev":"unl","v":"on"})")));
  plain.app->unl.reset();
  plain.app->unlC();
  EXPECT_EQ(plain.lines.size(), 1u) << "no switch, no event";
}

}  // namespace
}  // namespace qn
