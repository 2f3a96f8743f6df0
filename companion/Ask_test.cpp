#include <gmock/gmock.h>
#include <gtest/gtest.h>

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

json texts(const std::string& title, const std::string& body, const std::string& tips,
           const std::string& yes, const std::string& no) {
  return {{"title", title}, {"body", body}, {"tips", tips}, {"yes", yes}, {"no", no}};
}

json question(const std::string& id, const json& en, int ver = 0) {
  return {{"cmd", "consent"}, {"id", id}, {"ver", ver}, {"en", en}};
}

const json kShort = texts("Allow?", "Body", "Tips", "Yes", "No");

struct AskTest : ::testing::Test {
  SimCompanion sim{test::boardOptions()};
  App& app = *sim.app;
};

TEST_F(AskTest, ControlsOfTheDialog) {
  EXPECT_EQ(sim.askPanel().content(), app.av.get());
  EXPECT_TRUE(sim.askPanel().movableByBackground);
  EXPECT_DOUBLE_EQ(simOf(app.aTitle).font.size, 15);
  EXPECT_EQ(simOf(app.aTitle).font.weight, FontWeight::Semibold);
  EXPECT_DOUBLE_EQ(app.aTitle->color().alpha, 1);
  EXPECT_DOUBLE_EQ(simOf(app.aBody).font.size, 13);
  EXPECT_DOUBLE_EQ(app.aBody->color().alpha, 0.92);
  EXPECT_DOUBLE_EQ(simOf(app.aTips).font.size, 13);
  EXPECT_DOUBLE_EQ(app.aTips->color().green, 0.72);
  EXPECT_DOUBLE_EQ(simOf(app.aYes).font.size, 13);
  EXPECT_DOUBLE_EQ(simOf(app.aNo).font.size, 13);
  EXPECT_EQ(app.aYes->title(), "");
  EXPECT_FALSE(sim.askPanel().isVisible());
}

TEST_F(AskTest, ShortTitlesSideBySideCentredAboveTheMiddle) {
  app.handle(question("q1", kShort, 4));
  EXPECT_TRUE(sim.lines.empty());
  EXPECT_TRUE(sim.askPanel().isVisible());
  EXPECT_EQ(app.askId, "q1");
  EXPECT_EQ(app.aTitle->text(), "Allow?");
  EXPECT_EQ(app.aNo->title(), "No");
  // Sim metrics: 15 points make 18.75 high lines, 13 points 16.25; a button is its title
  // (7.8 per character at 13 points) plus 16, and gets 14 more.
  expectFrame(app.aTitle->frame(), Rect{{22, 20}, {396, 18.75}});
  expectFrame(app.aBody->frame(), Rect{{22, 48.75}, {396, 16.25}});
  expectFrame(app.aTips->frame(), Rect{{22, 75}, {396, 16.25}});
  expectFrame(app.aYes->frame(), Rect{{418 - 53.4, 107.25}, {53.4, 30}});
  expectFrame(app.aNo->frame(), Rect{{418 - 53.4 - 8 - 45.6, 107.25}, {45.6, 30}});
  const double h = 107.25 + 30 + 18;
  expectFrame(sim.askPanel().frame(), Rect{{700 - 220, 438 - h / 2 + 60}, {440, h}});

  simOf(app.aYes).click();
  EXPECT_THAT(
      sim.events(),
      ElementsAre(json::parse(R"({"ev":"consent","id":"q1","v":"yes","ver":4,"lang":"en"})")));
  EXPECT_FALSE(sim.askPanel().isVisible());
  EXPECT_EQ(app.askId, "");
  app.askNo();
  EXPECT_EQ(sim.lines.size(), 1u) << "no question open, nothing written";
}

TEST_F(AskTest, LongTitlesStackWithNoOnTop) {
  const std::string body(120, 'b');  // three lines of 50 characters
  app.handle(question("q", texts("T", body, "Tips", std::string(31, 'y'), std::string(25, 'n'))));
  expectFrame(app.aBody->frame(), Rect{{22, 48.75}, {396, 48.75}});
  const double yb = 48.75 + 48.75 + 10 + 16.25 + 16;
  expectFrame(app.aNo->frame(), Rect{{22, yb}, {396, 30}});
  expectFrame(app.aYes->frame(), Rect{{22, yb + 34}, {396, 30}});
  EXPECT_DOUBLE_EQ(sim.askPanel().frame().size.height, yb + 64 + 18);
  simOf(app.aNo).click();
  EXPECT_EQ(sim.events().at(0)["v"], "no");
}

TEST_F(AskTest, TallDialogKeepsTenPointsBelowTheTop) {
  const std::string huge(100000, 'x');
  app.handle(question("q", texts(huge, huge, huge, "Yes", "No")));
  EXPECT_DOUBLE_EQ(app.aTitle->frame().size.height, 600);
  const Rect frame = sim.askPanel().frame();
  EXPECT_DOUBLE_EQ(frame.origin.y + frame.size.height, 876 - 10);
  EXPECT_DOUBLE_EQ(frame.origin.x, 480);
}

TEST_F(AskTest, NewQuestionReplacesTheOpenOne) {
  app.handle(question("q1", kShort));
  app.handle(question("q2", texts("Second", "Body", "Tips", "OK", "Never"), 2));
  EXPECT_EQ(app.aTitle->text(), "Second");
  EXPECT_TRUE(sim.lines.empty()) << "the first question gets no answer";
  simOf(app.aNo).click();
  simOf(app.aYes).click();
  EXPECT_THAT(
      sim.events(),
      ElementsAre(json::parse(R"({"ev":"consent","id":"q2","v":"no","ver":2,"lang":"en"})")));
}

TEST_F(AskTest, CloseAnswersNothing) {
  app.handle(json::parse(R"({"cmd":"consent","close":true})"));
  EXPECT_FALSE(sim.askPanel().isVisible());
  app.handle(question("q1", kShort));
  app.handle(json::parse(R"({"cmd":"consent","close":true,"id":"q1"})"));
  EXPECT_FALSE(sim.askPanel().isVisible());
  EXPECT_EQ(app.askId, "");
  app.askYes();
  EXPECT_TRUE(sim.lines.empty());
  app.handle(json::parse(R"({"cmd":"consent","close":"yes","id":"q3","en":{}})"));
  EXPECT_EQ(sim.events().at(0)["id"], "q3") << "a close that is not a Bool counts as missing";
}

TEST(Ask, IncompleteOrUnusableQuestions) {
  struct Case {
    std::string name;
    bool board, zh;
    std::string command;
    std::string answer;  // empty: nothing written
  };
  const std::string zhOnly =
      R"("zh":{"title":"标题","body":"正文","tips":"提示","yes":"好","no":"不"})";
  const std::vector<Case> cases = {
      {"only Chinese texts, English interface", true, false,
       R"({"cmd":"consent","id":"q","ver":3,)" + zhOnly + "}",
       R"({"ev":"consent","id":"q","v":"no","ver":3,"lang":"en"})"},
      {"non-string texts", true, true,
       R"({"cmd":"consent","id":"q","zh":{"title":1,"body":["b"],"tips":{},"yes":true,"no":null}})",
       R"({"ev":"consent","id":"q","v":"no","ver":0,"lang":"zh"})"},
      {"one text empty", true, false,
       R"({"cmd":"consent","id":"q","ver":"7","en":{"title":"t","body":"b","tips":"","yes":"y","no":"n"}})",
       R"({"ev":"consent","id":"q","v":"no","ver":0,"lang":"en"})"},
      {"map of the wrong type", true, false, R"({"cmd":"consent","id":"q","en":"texts"})",
       R"({"ev":"consent","id":"q","v":"no","ver":0,"lang":"en"})"},
      {"ver not integral", true, false, R"({"cmd":"consent","id":"q","ver":2.5})",
       R"({"ev":"consent","id":"q","v":"no","ver":0,"lang":"en"})"},
      {"no id", true, false, R"({"cmd":"consent","en":{}})", ""},
      {"empty id", true, false, R"({"cmd":"consent","id":"","en":{}})", ""},
      {"id not a string", true, false, R"({"cmd":"consent","id":5,"en":{}})", ""},
      {"outside board mode", false, true, R"({"cmd":"consent","id":"q",)" + zhOnly + "}", ""},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    CompanionOptions options = test::plainOptions(c.zh);
    options.boardMode = c.board;
    SimCompanion sim(options);
    sim.command(c.command);
    EXPECT_FALSE(sim.askPanel().isVisible());
    EXPECT_EQ(sim.app->askId, "");
    if (c.answer.empty()) {
      EXPECT_TRUE(sim.lines.empty());
    } else {
      EXPECT_THAT(sim.events(), ElementsAre(json::parse(c.answer)));
    }
  }
}

TEST(Ask, ChineseInterfaceReadsTheChineseTexts) {
  SimCompanion sim(test::boardOptions(true));
  sim.command(
      R"({"cmd":"consent","id":"q","zh":{"title":"标题","body":"正文","tips":"提示","yes":"好","no":"不"},"en":{}})");
  EXPECT_TRUE(sim.askPanel().isVisible());
  EXPECT_EQ(sim.app->aTips->text(), "提示");
  simOf(sim.app->aYes).click();
  EXPECT_EQ(sim.events().at(0)["lang"], "zh");
}

TEST(Ask, InvalidUtf8IsShownReplaced) {
  SimCompanion sim(test::boardOptions());
  const auto command = parseCommandLine(
      "{\"cmd\":\"consent\",\"id\":\"q\\u00e9\xC3\",\"en\":{\"title\":\"a\xFF\",\"body\":\"b\","
      "\"tips\":\"t\",\"yes\":\"y\",\"no\":\"n\"}}");
  ASSERT_TRUE(command);
  sim.app->handle(*command);
  EXPECT_EQ(sim.app->aTitle->text(), "a\xEF\xBF\xBD");
  simOf(sim.app->aYes).click();
  EXPECT_EQ(sim.events().at(0)["id"], "q\xC3\xA9\xEF\xBF\xBD");
}

TEST(Ask, ScreenChangeCentresTheOpenDialogAgain) {
  SimCompanion sim(test::boardOptions());
  sim.app->handle(question("q", kShort));
  const double h = sim.askPanel().frame().size.height;
  sim.screens.list[0].visibleFrame = Rect{{0, 40}, {1920, 1000}};
  sim.screens.list[0].frame = Rect{{0, 0}, {1920, 1080}};
  sim.screens.changed();
  expectFrame(sim.askPanel().frame(), Rect{{960 - 220, 40 + 500 - h / 2 + 60}, {440, h}});
}

TEST(Ask, GuardModeAnswersWithoutShowing) {
  CompanionOptions options = test::boardOptions();
  options.guardMode = true;
  options.quietUI = true;
  SimCompanion sim(options);
  sim.app->handle(question("q", kShort));
  EXPECT_FALSE(sim.askPanel().isVisible());
  sim.app->askYes();
  EXPECT_EQ(sim.events().at(0)["v"], "yes");
}

}  // namespace
}  // namespace qn
