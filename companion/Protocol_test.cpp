#include <gtest/gtest.h>

#include "companion/SimCompanion_testing.h"

namespace qn {
namespace {

using test::SimCompanion;

TEST(Protocol, KeysEchoSeqAsGiven) {
  struct Case {
    std::string command;
    std::string event;
  };
  const std::vector<Case> cases = {
      {R"({"cmd":"keys"})", R"({"ev":"keys","n":-1,"seq":0})"},
      {R"({"cmd":"keys","seq":7,"text":"hi"})", R"({"ev":"keys","n":-1,"seq":7})"},
      {R"({"cmd":"keys","seq":"abc"})", R"({"ev":"keys","n":-1,"seq":"abc"})"},
      {R"({"cmd":"keys","seq":{"a":[1,2]}})", R"({"ev":"keys","n":-1,"seq":{"a":[1,2]}})"},
      {R"({"cmd":"keys","seq":2.5,"text":5})", R"({"ev":"keys","n":-1,"seq":2.5})"},
      {R"({"cmd":"keys","seq":null})", R"({"ev":"keys","n":-1,"seq":null})"},
      {R"({"cmd":"key","key":"Enter","seq":3})", R"({"ev":"keys","n":-1,"seq":3})"},
      {R"({"cmd":"key","key":"enter"})", R"({"ev":"keys","n":-1,"seq":0})"},
  };
  for (const auto& c : cases) {
    SimCompanion sim;
    sim.command(c.command);
    ASSERT_EQ(sim.lines.size(), 1u) << c.command;
    EXPECT_EQ(nlohmann::json::parse(sim.lines[0]), nlohmann::json::parse(c.event)) << c.command;
    // One compact line, ended by a line feed.
    EXPECT_EQ(sim.lines[0].back(), '\n');
    EXPECT_EQ(sim.lines[0].find('\n'), sim.lines[0].size() - 1);
    EXPECT_EQ(sim.lines[0].find(": "), std::string::npos);
  }
}

TEST(Protocol, IgnoredInputWritesNothingAndChangesNothing) {
  const std::vector<std::string> commands = {
      R"({})",
      R"({"cmd":5})",
      R"({"cmd":null})",
      R"({"cmd":"nope"})",
      R"({"cmd":"KEYS"})",
      R"({"command":"keys"})",
      R"({"cmd":["keys"]})",
  };
  for (const auto& c : commands) {
    SimCompanion sim;
    sim.command(c);
    EXPECT_TRUE(sim.lines.empty()) << c;
    EXPECT_FALSE(sim.terminated) << c;
  }
  SimCompanion sim;
  sim.app->handle(nlohmann::json::array({1}));
  sim.app->handle(nlohmann::json("keys"));
  EXPECT_TRUE(sim.lines.empty());
}

TEST(Protocol, InitReadsMembersByType) {
  struct Case {
    std::string command;
    int32_t pid;
    std::string title;
    bool nativeApp;
  };
  const std::vector<Case> cases = {
      {R"({"cmd":"init","pid":4242,"title":"Browser","app":1})", 4242, "Browser", true},
      {R"({"cmd":"init"})", 0, "", false},
      {R"({"cmd":"init","pid":"4242","title":7,"app":true})", 0, "", false},
      {R"({"cmd":"init","pid":4242.5,"app":2})", 0, "", false},
      {R"({"cmd":"init","pid":4242.0,"app":1.0})", 4242, "", true},
      {R"({"cmd":"init","pid":4294967297})", 0, "", false},
      {R"({"cmd":"init","pid":-3})", -3, "", false},
  };
  for (const auto& c : cases) {
    SimCompanion sim;
    const auto worker = sim.workspace.add(4242);
    sim.command(c.command);
    EXPECT_EQ(sim.app->pid, c.pid) << c.command;
    EXPECT_EQ(sim.app->title, c.title) << c.command;
    EXPECT_EQ(sim.app->nativeApp, c.nativeApp) << c.command;
    EXPECT_EQ(worker->hideCalls, c.pid == 4242 ? 1 : 0) << c.command;
    // Only a native worker's init reports the accessibility state.
    EXPECT_EQ(sim.lines.size(), c.nativeApp ? 1u : 0u) << c.command;
  }
}

TEST(Protocol, InitOfAbsentProcessHidesNothing) {
  SimCompanion sim;
  sim.command(R"({"cmd":"init","pid":999})");
  EXPECT_EQ(sim.app->pid, 999);
  EXPECT_FALSE(sim.app->workerStart.has_value());
}

TEST(Protocol, StateUpdatesTabAndPinsOnceOnAttention) {
  SimCompanion sim;
  sim.command(
      R"({"cmd":"state","state":"done","done":2,"total":5,"detail":"d","speed":"safe","note":"n","result":"r"})");
  EXPECT_EQ(sim.app->view->state, "done");
  EXPECT_EQ(sim.app->view->done, 2);
  EXPECT_EQ(sim.app->view->total, 5);
  EXPECT_EQ(sim.app->detail, "d");
  EXPECT_EQ(sim.app->speed, "safe");
  EXPECT_EQ(sim.app->note, "n");
  EXPECT_EQ(sim.app->result, "r");
  EXPECT_DOUBLE_EQ(sim.app->pinUntil, 8);
  sim.loop.advance(1);
  sim.command(R"({"cmd":"state","state":"done"})");
  EXPECT_DOUBLE_EQ(sim.app->pinUntil, 8) << "the same state pins only once";
  EXPECT_EQ(sim.app->view->done, 0);
  sim.command(R"({"cmd":"state","state":"running","done":1.5,"total":"3"})");
  EXPECT_EQ(sim.app->view->done, 0);
  EXPECT_EQ(sim.app->view->total, 0);
  EXPECT_DOUBLE_EQ(sim.app->pinUntil, 8);
  sim.command(R"({"cmd":"state","state":"human"})");
  EXPECT_DOUBLE_EQ(sim.app->pinUntil, 9);
  EXPECT_EQ(sim.app->lastState, "human");
}

TEST(Protocol, DrawerSelectsAndPins) {
  SimCompanion sim(test::boardOptions());
  sim.command(
      R"({"cmd":"board","tasks":[{"id":"a","state":"running"},{"id":"b","state":"queued"}]})");
  ASSERT_EQ(sim.app->sel, "a");
  sim.loop.advance(20);
  sim.command(R"({"cmd":"drawer","id":"b","on":true})");
  EXPECT_EQ(sim.app->sel, "b");
  EXPECT_DOUBLE_EQ(sim.app->pinUntil, 25);
  sim.command(R"({"cmd":"drawer","id":"zzz","sec":12})");
  EXPECT_EQ(sim.app->sel, "b");
  EXPECT_DOUBLE_EQ(sim.app->pinUntil, 32);
  sim.command(R"({"cmd":"drawer","on":false})");
  EXPECT_LT(sim.app->pinUntil, -1e300);
  // A wrong-typed "on" counts as missing: the drawer opens.
  sim.command(R"({"cmd":"drawer","on":0,"sec":-4})");
  EXPECT_DOUBLE_EQ(sim.app->pinUntil, 16);
  sim.loop.advance(1);
}

TEST(Protocol, DrawerOutsideBoardModeKeepsSelection) {
  SimCompanion sim;
  sim.app->sel = "x";
  sim.command(R"({"cmd":"drawer","id":"y"})");
  EXPECT_EQ(sim.app->sel, "x");
  EXPECT_DOUBLE_EQ(sim.app->pinUntil, 5);
}

TEST(Protocol, MirrorIdsInBoardMode) {
  SimCompanion sim(test::boardOptions());
  sim.command(R"({"cmd":"mirror","id":"a","on":true})");
  sim.app->mv->cur = Point{1, 2};
  sim.command(R"({"cmd":"mirror","id":"b","on":false})");
  EXPECT_EQ(sim.app->mirrorId, "a");
  EXPECT_TRUE(sim.app->mirrorOn);
  sim.command(R"({"cmd":"mirror","id":"b","on":true})");
  EXPECT_EQ(sim.app->mirrorId, "b");
  EXPECT_TRUE(sim.app->mirrorOn);
  EXPECT_FALSE(sim.app->mv->cur) << "switching jobs reopens the mirror afresh";
}

TEST(Protocol, ReadyAndQuit) {
  SimCompanion sim;
  sim.command(R"({"cmd":"ready"})");
  EXPECT_TRUE(sim.app->ready);
  EXPECT_FALSE(sim.terminated);
  sim.command(R"({"cmd":"quit"})");
  EXPECT_TRUE(sim.app->quitting);
  EXPECT_TRUE(sim.terminated);
}

TEST(Protocol, LaterCommandsAreAcceptedSilently) {
  const std::vector<std::string> commands = {
      R"({"cmd":"peek"})",
      R"({"cmd":"consent","id":"q"})",
      R"({"cmd":"frame","id":"a","d":"AAAA"})",
      R"({"cmd":"still","id":"a","d":"!!"})",
      R"({"cmd":"cur","x":1e308,"y":"n"})",
      R"({"cmd":"alert"})",
      R"({"cmd":"show","reason":5})",
      R"({"cmd":"hide"})",
  };
  for (const auto& c : commands) {
    SimCompanion sim;
    sim.app->pendingShow = true;
    sim.command(c);
    EXPECT_TRUE(sim.lines.empty()) << c;
    EXPECT_FALSE(sim.terminated) << c;
  }
  SimCompanion sim;
  sim.app->pendingShow = true;
  sim.command(R"({"cmd":"hide"})");
  EXPECT_FALSE(sim.app->pendingShow);
}

TEST(Protocol, SendAddsIdOnlyInBoardMode) {
  SimCompanion plain;
  plain.app->sel = "s";
  plain.app->send({{"ev", "toggle"}}, "x");
  SimCompanion board(test::boardOptions());
  board.app->sel = "s";
  board.app->send({{"ev", "toggle"}}, "x");
  board.app->send({{"ev", "toggle"}});
  board.app->sel = "";
  board.app->send({{"ev", "toggle"}});
  EXPECT_EQ(plain.events().at(0), nlohmann::json::parse(R"({"ev":"toggle"})"));
  EXPECT_EQ(board.events().at(0), nlohmann::json::parse(R"({"ev":"toggle","id":"x"})"));
  EXPECT_EQ(board.events().at(1), nlohmann::json::parse(R"({"ev":"toggle","id":"s"})"));
  EXPECT_EQ(board.events().at(2), nlohmann::json::parse(R"({"ev":"toggle","id":""})"));
}

TEST(Protocol, EmitReplacesInvalidUtf8) {
  SimCompanion sim;
  sim.app->emit({{"ev", "note"}, {"text", "a\xff"}});
  ASSERT_EQ(sim.lines.size(), 1u);
  EXPECT_EQ(sim.events()[0]["text"], "a\xEF\xBF\xBD");
}

TEST(Protocol, SetShownReportsChangesOnly) {
  SimCompanion sim;
  sim.app->setShown(true);
  sim.app->setShown(true);
  EXPECT_TRUE(sim.app->view->shown);
  sim.app->setShown(false);
  ASSERT_EQ(sim.lines.size(), 2u);
  EXPECT_EQ(sim.events()[0], nlohmann::json::parse(R"({"ev":"visible","v":true})"));
  EXPECT_EQ(sim.events()[1], nlohmann::json::parse(R"({"ev":"visible","v":false})"));
  EXPECT_FALSE(sim.app->view->shown);
}

}  // namespace
}  // namespace qn

namespace qn {
namespace {

TEST(Protocol, PointerOnlyForTheMirroredJob) {
  struct Case {
    bool board;
    bool mirrorOn;
    std::string command;
    bool taken;
    double downT;
  };
  const std::vector<Case> cases = {
      {false, false, R"({"cmd":"cur","x":5,"y":6})", false, 0},
      {false, true, R"({"cmd":"cur","x":5,"y":6,"down":1})", true, 1},
      {false, true, R"({"cmd":"cur","x":5,"y":6,"down":true})", true, 0},
      {true, true, R"({"cmd":"cur","x":5,"y":6})", false, 0},
      {true, true, R"({"cmd":"cur","id":"other","x":5,"y":6})", false, 0},
      {true, true, R"({"cmd":"cur","id":"m","x":5,"y":6,"down":1.0})", true, 1},
  };
  for (const auto& c : cases) {
    CompanionOptions options;
    options.boardMode = c.board;
    test::SimCompanion sim(options);
    sim.app->mirrorOn = c.mirrorOn;
    sim.app->mirrorId = "m";
    sim.command(c.command);
    EXPECT_EQ(sim.app->mv->cur.has_value(), c.taken) << c.command;
    if (c.taken) {
      EXPECT_DOUBLE_EQ(sim.app->mv->cur->x, 5);
      EXPECT_DOUBLE_EQ(sim.app->mv->cur->y, 6);
    }
    EXPECT_DOUBLE_EQ(sim.app->mv->downT, c.downT) << c.command;
  }
}

TEST(Protocol, ClickRippleDecaysOnTheTickThenTheTickStops) {
  test::SimCompanion sim;
  const size_t idleTimers = sim.loop.activeTimerCount();
  sim.app->mirrorOn = true;
  sim.command(R"({"cmd":"cur","x":1,"y":1,"down":1})");
  EXPECT_EQ(sim.loop.activeTimerCount(), idleTimers + 1);
  sim.loop.advance(0.3);
  EXPECT_NEAR(sim.app->mv->downT, 0.5, 1e-9);
  sim.loop.advance(0.4);
  EXPECT_DOUBLE_EQ(sim.app->mv->downT, 0);
  EXPECT_EQ(sim.loop.activeTimerCount(), idleTimers);
}

}  // namespace
}  // namespace qn
