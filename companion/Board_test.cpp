#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include "companion/SimCompanion_testing.h"

namespace qn {
namespace {

using test::SimCompanion;
using ::testing::ElementsAre;

std::vector<std::string> ids(const App& app) {
  std::vector<std::string> list;
  for (const auto& job : app.jobs) list.push_back(job.id);
  return list;
}

struct BoardTest : ::testing::Test {
  SimCompanion sim{test::boardOptions()};
  void board(const std::string& members) { sim.command(R"({"cmd":"board",)" + members + "}"); }
  // How long the bubble is pinned from now, or a negative number when it is not pinned.
  double pinnedFor() const { return sim.app->pinUntil - sim.loop.now(); }
  void later() { sim.loop.advance(100); }
};

TEST_F(BoardTest, SortsByRankKeepingParentOrder) {
  board(
      R"("tasks":[{"id":"A","state":"queued"},{"id":"B","state":"running"},{"id":"C","state":"human"},
    {"id":"D","state":"done"},{"id":"E","state":"running"},{"id":"F","state":"weird"},{"id":"G","state":"yield"}])");
  EXPECT_THAT(ids(*sim.app), ElementsAre("C", "B", "E", "F", "G", "A", "D"));
  EXPECT_EQ(sim.app->view->state, "human");
}

TEST_F(BoardTest, HumanSelectionPinsEightSecondsWhateverFocus) {
  board(R"("tasks":[{"id":"a","state":"running"},{"id":"b","state":"running"}])");
  EXPECT_EQ(sim.app->sel, "a");
  later();
  board(
      R"("tasks":[{"id":"a","state":"running"},{"id":"b","state":"human"}],"fseq":4,"focus":"a")");
  EXPECT_EQ(sim.app->sel, "b");
  EXPECT_DOUBLE_EQ(pinnedFor(), 8);
  EXPECT_EQ(sim.app->fseq, 4);
}

TEST_F(BoardTest, RepeatedBoardChangesNothing) {
  const std::string members =
      R"("tasks":[{"id":"a","state":"done","title":"T"},{"id":"b","state":"queued"}],"fseq":1,"focus":"b")";
  board(members);
  EXPECT_EQ(sim.app->sel, "b");
  later();
  board(members);
  EXPECT_EQ(sim.app->sel, "b");
  EXPECT_LT(pinnedFor(), 0);
}

TEST_F(BoardTest, FocusWithNewSequence) {
  board(R"("tasks":[{"id":"a","state":"queued"},{"id":"b","state":"queued"}])");
  ASSERT_EQ(sim.app->sel, "a");
  later();
  board(
      R"("tasks":[{"id":"a","state":"queued"},{"id":"b","state":"queued"}],"fseq":3,"focus":"b")");
  EXPECT_EQ(sim.app->sel, "b");
  EXPECT_DOUBLE_EQ(pinnedFor(), 5) << "the old selection was not active";
  later();
  // The same sequence ignores the focus.
  board(
      R"("tasks":[{"id":"a","state":"queued"},{"id":"b","state":"queued"}],"fseq":3,"focus":"a")");
  EXPECT_EQ(sim.app->sel, "b");
  // A new sequence naming no job falls through.
  board(
      R"("tasks":[{"id":"a","state":"queued"},{"id":"b","state":"queued"}],"fseq":4,"focus":"zz")");
  EXPECT_EQ(sim.app->sel, "b");
  EXPECT_EQ(sim.app->fseq, 4);
  EXPECT_LT(pinnedFor(), 0);
}

TEST_F(BoardTest, FocusFromActiveSelectionDoesNotPin) {
  board(R"("tasks":[{"id":"a","state":"running"},{"id":"b","state":"queued"}])");
  later();
  board(
      R"("tasks":[{"id":"a","state":"running"},{"id":"b","state":"queued"}],"fseq":0,"focus":"b")");
  EXPECT_EQ(sim.app->sel, "b");
  EXPECT_LT(pinnedFor(), 0);
}

TEST_F(BoardTest, WokeJobSelectedOnlyFromInactiveSelection) {
  board(R"("tasks":[{"id":"q","state":"queued"},{"id":"r","state":"queued"}])");
  ASSERT_EQ(sim.app->sel, "q");
  later();
  board(R"("tasks":[{"id":"q","state":"queued"},{"id":"r","state":"running"}])");
  EXPECT_EQ(sim.app->sel, "r");
  EXPECT_DOUBLE_EQ(pinnedFor(), 5);
  later();
  board(R"("tasks":[{"id":"q","state":"starting"},{"id":"r","state":"running"}])");
  EXPECT_EQ(sim.app->sel, "r") << "the selection is running";
  EXPECT_LT(pinnedFor(), 0);
}

TEST_F(BoardTest, VanishedSelectionAndEmptyBoard) {
  board(R"("tasks":[{"id":"a","state":"running"},{"id":"b","state":"paused"}])");
  sim.app->sel = "b";
  board(R"("tasks":[{"id":"c","state":"queued"},{"id":"a","state":"running"}])");
  EXPECT_EQ(sim.app->sel, "a") << "the first job after sorting";
  board(R"("tasks":[],"running":2,"queued":1,"held":4,"low":true)");
  EXPECT_EQ(sim.app->sel, "");
  EXPECT_EQ(sim.app->view->state, "starting");
  EXPECT_EQ(sim.app->nRun, 2);
  EXPECT_EQ(sim.app->nQueue, 1);
  EXPECT_EQ(sim.app->nHeld, 4);
  EXPECT_TRUE(sim.app->low);
  EXPECT_EQ(sim.app->cst(), "");
}

TEST_F(BoardTest, MalformedTasksCountAsEmpty) {
  board(R"("tasks":[{"id":"a","state":"running"}])");
  board(R"("tasks":[{"id":"a","state":"running"},3])");
  EXPECT_TRUE(sim.app->jobs.empty());
  board(R"("tasks":{"id":"a"})");
  EXPECT_TRUE(sim.app->jobs.empty());
  EXPECT_EQ(sim.app->view->state, "starting");
}

TEST_F(BoardTest, MultiAndProgress) {
  board(
      R"("tasks":[{"id":"a","state":"running","done":1,"total":4},{"id":"b","state":"queued"}],"running":1,"queued":1)");
  ASSERT_TRUE(sim.app->view->multi.has_value());
  EXPECT_EQ(*sim.app->view->multi, std::make_pair(int64_t{1}, int64_t{1}));
  board(
      R"("tasks":[{"id":"a","state":"running","done":2,"total":4},{"id":"d","state":"done","done":9,"total":9},
    {"id":"e","state":"error"}],"running":1)");
  EXPECT_FALSE(sim.app->view->multi.has_value());
  EXPECT_EQ(sim.app->view->done, 2);
  EXPECT_EQ(sim.app->view->total, 4);
  // No active job: the selected job's progress.
  sim.app->sel = "d";
  board(
      R"("tasks":[{"id":"a","state":"stopped","done":3,"total":4},{"id":"d","state":"done","done":9,"total":9}])");
  EXPECT_EQ(sim.app->view->done, 9);
}

TEST_F(BoardTest, CurrentJobFactsAndShown) {
  board(
      R"("tasks":[{"id":"a","state":"running","title":"T","detail":"D","detail_en":"E","speed":"fast",
    "note":"N","result":"R","shown":true},{"id":"b","state":"queued","shown":false}])");
  EXPECT_EQ(sim.app->title, "T");
  EXPECT_EQ(sim.app->detail, "E");
  EXPECT_EQ(sim.app->speed, "fast");
  EXPECT_EQ(sim.app->note, "N");
  EXPECT_EQ(sim.app->result, "R");
  EXPECT_TRUE(sim.app->shown);
  EXPECT_TRUE(sim.app->view->shown);
  board(
      R"("tasks":[{"id":"a","state":"running","title":"T2","detail":"D","detail_en":""},{"id":"b","state":"queued","shown":true}])");
  EXPECT_EQ(sim.app->detail, "D");
  EXPECT_FALSE(sim.app->shown);
  EXPECT_TRUE(sim.app->view->shown) << "another job's window is shown";
  board(R"("tasks":[])");
  EXPECT_EQ(sim.app->title, "T2") << "facts stay without a current job";
  EXPECT_FALSE(sim.app->view->shown);
}

TEST(BoardLanguage, ChineseAlwaysShowsDetail) {
  auto options = test::boardOptions();
  options.zh = true;
  SimCompanion sim(options);
  sim.command(
      R"({"cmd":"board","tasks":[{"id":"a","state":"running","detail":"D","detail_en":"E"}]})");
  EXPECT_EQ(sim.app->detail, "D");
}

TEST_F(BoardTest, RepeatedIdKeepsEveryTask) {
  board(
      R"("tasks":[{"id":"a","state":"queued"},{"id":"a","state":"running"},{"id":"b","state":"done"}])");
  EXPECT_THAT(ids(*sim.app), ElementsAre("a", "a", "b"));
  EXPECT_EQ(sim.app->was.at("a"), "running");
  board(R"("tasks":[{"id":"a","state":"human"},{"id":"a","state":"human"}])");
  EXPECT_EQ(sim.app->jobs.size(), 2u);
  EXPECT_EQ(sim.app->sel, "a");
  sim.command(R"({"cmd":"keys","seq":1})");
  EXPECT_EQ(sim.lines.size(), 1u);
}

TEST_F(BoardTest, StillsPrunedToLiveJobs) {
  sim.app->stills["a"] = Still{std::make_shared<Image>(), {1, 1}};
  sim.app->stills["d"] = Still{std::make_shared<Image>(), {1, 1}};
  sim.app->stills["gone"] = Still{std::make_shared<Image>(), {1, 1}};
  sim.app->mirrorId = "gone";
  sim.app->mv->img = std::make_shared<Image>();
  board(R"("tasks":[{"id":"a","state":"running"},{"id":"d","state":"done"}])");
  EXPECT_EQ(sim.app->stills.size(), 1u);
  EXPECT_TRUE(sim.app->stills.contains("a"));
  EXPECT_FALSE(sim.app->mv->img);
}

TEST_F(BoardTest, MirrorCaptionAndImageKeptWhileMirroring) {
  sim.app->mirrorOn = true;
  sim.app->mirrorId = "a";
  sim.app->mv->img = std::make_shared<Image>();
  board(R"("tasks":[{"id":"a","state":"done","title":"Shop"}])");
  EXPECT_TRUE(sim.app->mv->img);
  EXPECT_EQ(sim.app->mv->caption, "Live view · Shop");
  EXPECT_TRUE(sim.app->view->shown);
}

TEST(BoardOutsideBoardMode, StillsUntouched) {
  SimCompanion sim;
  sim.app->stills["a"] = Still{std::make_shared<Image>(), {1, 1}};
  sim.command(R"({"cmd":"board","tasks":[]})");
  EXPECT_EQ(sim.app->stills.size(), 1u);
}

TEST(JobRank, OrderAndGroups) {
  EXPECT_EQ(rank("human"), 0);
  EXPECT_EQ(rank("stopped"), 10);
  EXPECT_EQ(rank("anything"), 5);
  EXPECT_EQ(rank(""), 5);
  EXPECT_EQ(statusLabel("yield", true), "你在操作，我先等着");
  EXPECT_EQ(statusLabel("ai", false), "Waiting for AI");
  EXPECT_EQ(statusLabel("weird", false), "");
}

TEST_F(BoardTest, EndedAndParkedFollowSelection) {
  board(R"("tasks":[{"id":"a","state":"held"},{"id":"b","state":"error"}])");
  ASSERT_EQ(sim.app->sel, "b");
  EXPECT_TRUE(sim.app->ended());
  EXPECT_FALSE(sim.app->parked());
  sim.app->sel = "a";
  EXPECT_TRUE(sim.app->parked());
  EXPECT_FALSE(sim.app->ended());
}

}  // namespace
}  // namespace qn
