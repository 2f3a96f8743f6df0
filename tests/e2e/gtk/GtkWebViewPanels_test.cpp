// The page's alert, confirm, prompt and file panels, answered by the delegate whenever it likes.

#include <glib/gstdio.h>

#include <fstream>

#include "tests/e2e/gtk/WebViewFixture.h"

namespace qn::test {
namespace {

TEST_F(WebViewTest, AlertHoldsThePageUntilTheDelegateIsDone) {
  show("/", page("<p>alerts</p>"));

  view->evaluateJavaScript("alert('hello'); report('after')");
  ASSERT_TRUE(spinUntil([&] { return delegate.alerts.size() == 1; }));
  EXPECT_EQ(delegate.alerts[0], "hello");
  EXPECT_EQ(nextMessage("probe", 0.5), std::nullopt);

  delegate.alertDone();
  EXPECT_EQ(nextMessage(), "\"after\"");
}

TEST_F(WebViewTest, ConfirmAnswersReachThePage) {
  show("/", page("<p>confirms</p>"));

  for (bool answer : {true, false}) {
    view->evaluateJavaScript("report(confirm('sure?'))");
    ASSERT_TRUE(spinUntil([&] { return static_cast<bool>(delegate.confirmDone); }));
    EXPECT_EQ(delegate.confirms.back(), "sure?");
    std::exchange(delegate.confirmDone, nullptr)(answer);
    EXPECT_EQ(nextMessage(), answer ? "true" : "false");
  }
}

TEST_F(WebViewTest, PromptAnswersReachThePageAndCancelGivesNull) {
  show("/", page("<p>prompts</p>"));

  view->evaluateJavaScript("report(prompt('name?', 'anon'))");
  ASSERT_TRUE(spinUntil([&] { return static_cast<bool>(delegate.promptDone); }));
  EXPECT_EQ(delegate.prompts.back(), std::make_pair(std::string("name?"), std::string("anon")));
  std::exchange(delegate.promptDone, nullptr)("Zoë");
  EXPECT_EQ(nextMessage(), "\"Zoë\"");

  view->evaluateJavaScript("report(prompt('again?'))");
  ASSERT_TRUE(spinUntil([&] { return static_cast<bool>(delegate.promptDone); }));
  EXPECT_EQ(delegate.prompts.back(), std::make_pair(std::string("again?"), std::string()));
  std::exchange(delegate.promptDone, nullptr)(std::nullopt);
  EXPECT_EQ(nextMessage(), "null");
}

TEST_F(WebViewTest, AnAnswerGivenTwiceOrLateIsHarmless) {
  show("/", page("<p>late</p>"));

  view->evaluateJavaScript("report(confirm('first'))");
  ASSERT_TRUE(spinUntil([&] { return static_cast<bool>(delegate.confirmDone); }));
  auto first = std::exchange(delegate.confirmDone, nullptr);
  first(true);
  first(false);
  EXPECT_EQ(nextMessage(), "true");

  // Answering after the web view is gone must not touch it.
  view->evaluateJavaScript("report(confirm('second'))");
  ASSERT_TRUE(spinUntil([&] { return static_cast<bool>(delegate.confirmDone); }));
  auto late = std::exchange(delegate.confirmDone, nullptr);
  view->setDelegate(nullptr);
  window.reset();
  view = nullptr;
  late(true);
  spinFor(0.2);
}

TEST_F(WebViewTest, ADroppedCallbackStillLetsThePageGoOn) {
  show("/", page("<p>dropped</p>"));

  view->evaluateJavaScript("report(confirm('dropped?'))");
  ASSERT_TRUE(spinUntil([&] { return static_cast<bool>(delegate.confirmDone); }));
  delegate.confirmDone = nullptr;

  EXPECT_EQ(nextMessage(), "false");
}

// The host has no "leave this page?" panel: the page is left without asking.
TEST_F(WebViewTest, APageAskingBeforeUnloadIsLeftWithoutAPanel) {
  show("/", page(R"(<script>
    addEventListener('beforeunload', e => { e.preventDefault(); e.returnValue = 'stay?'; });
  </script>)"));
  // The engine only asks for pages the user has interacted with; script from the host counts.
  view->evaluateJavaScript("document.body.click()");
  server.serve("/next", page("<p>next</p>"));

  view->loadURL(server.url("/next"), 10);

  ASSERT_TRUE(spinUntil([&] { return delegate.finished == 2; }));
  EXPECT_EQ(view->currentURL(), server.url("/next"));
  EXPECT_TRUE(delegate.confirms.empty());
  EXPECT_TRUE(delegate.alerts.empty());
}

TEST_F(WebViewTest, WithoutADelegatePanelsAreAnsweredAtOnce) {
  view->setDelegate(nullptr);
  view->loadHTML(
      "<script>alert('a'); document.title = JSON.stringify([confirm('b'), prompt('c', 'd')]);"
      "</script>");

  ASSERT_TRUE(spinUntil([&] {
    const gchar* title = webkit_web_view_get_title(WEBKIT_WEB_VIEW(gtkView().widget()));
    return title && *title;
  }));
  EXPECT_STREQ(webkit_web_view_get_title(WEBKIT_WEB_VIEW(gtkView().widget())), "[false,null]");
}

class FileChooserTest : public WebViewTest {
 protected:
  void SetUp() override {
    WebViewTest::SetUp();
    folder = g_dir_make_tmp("qn-files-XXXXXX", nullptr);
    for (const char* name : {"a.txt", "b.txt"}) std::ofstream(folder + "/" + name) << name;
  }
  void TearDown() override {
    for (const char* name : {"a.txt", "b.txt"}) g_remove((folder + "/" + name).c_str());
    g_rmdir(folder.c_str());
    WebViewTest::TearDown();
  }

  // Clicks the input (script counts as a user gesture here) and waits for the panel request.
  void open(const std::string& id) {
    view->evaluateJavaScript("document.getElementById('" + id + "').click()");
    ASSERT_TRUE(spinUntil([&] { return static_cast<bool>(delegate.openDone); })) << id;
  }

  std::string folder;
};

TEST_F(FileChooserTest, ChosenFilesReachThePage) {
  show("/", page(R"(
    <input type="file" id="many" multiple>
    <input type="file" id="one">
    <script>
      for (const input of document.querySelectorAll('input')) {
        input.onchange = () => report([input.id, ...[...input.files].map(f => f.name)]);
        input.oncancel = () => report([input.id, 'cancelled']);
      }
    </script>)"));

  open("many");
  EXPECT_TRUE(delegate.openPanels.back().allowsMultipleSelection);
  EXPECT_FALSE(delegate.openPanels.back().allowsDirectories);
  std::exchange(delegate.openDone,
                nullptr)(std::vector<std::string>{folder + "/a.txt", folder + "/b.txt"});
  EXPECT_EQ(nextMessage(), R"(["many","a.txt","b.txt"])");

  open("one");
  EXPECT_FALSE(delegate.openPanels.back().allowsMultipleSelection);
  gchar* uri = g_filename_to_uri((folder + "/b.txt").c_str(), nullptr, nullptr);
  std::exchange(delegate.openDone, nullptr)(std::vector<std::string>{uri});
  g_free(uri);
  EXPECT_EQ(nextMessage(), R"(["one","b.txt"])");

  open("one");
  std::exchange(delegate.openDone, nullptr)(std::nullopt);
  EXPECT_EQ(nextMessage(), R"(["one","cancelled"])");
}

}  // namespace
}  // namespace qn::test
