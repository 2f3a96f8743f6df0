// The GTK web view against a real WebKitGTK engine and a loopback server: loading, load events,
// script messages and the translation of navigation and new-window requests.

#include <gtk/gtk.h>

#include <algorithm>

#include "tests/e2e/gtk/WebViewFixture.h"

namespace qn::test {
namespace {

bool asked(const LoopbackHttpServer& server, const std::string& path) {
  auto requests = server.requests();
  return std::find(requests.begin(), requests.end(), path) != requests.end();
}

TEST_F(WebViewTest, LoadsAPageFromLoopbackAndReportsTheFinishedLoad) {
  show("/", page("<p>hello</p>"));

  EXPECT_EQ(delegate.finished, 1);
  EXPECT_EQ(view->currentURL(), server.url("/"));
  ASSERT_EQ(delegate.navigations.size(), 1u);
  EXPECT_EQ(delegate.navigations[0].url, server.url("/"));
  EXPECT_EQ(delegate.navigations[0].type, NavigationType::Other);
  EXPECT_TRUE(delegate.navigations[0].hasTargetFrame);
  EXPECT_TRUE(asked(server, "/"));
}

TEST_F(WebViewTest, AFailedLoadIsNotReportedAsFinished) {
  std::string unreachable = "http://127.0.0.1:" + std::to_string(closedLoopbackPort()) + "/";
  view->loadURL(unreachable, 10);
  ASSERT_TRUE(spinUntil([&] { return !delegate.navigations.empty(); }));
  spinFor(1);
  EXPECT_EQ(delegate.finished, 0);

  show("/", page("<p>after the failure</p>"));
  EXPECT_EQ(delegate.finished, 1);
}

TEST_F(WebViewTest, AWarmUpNeverReachesTheDelegateOrTheNetwork) {
  const std::string warmUpURL = server.url("/.warm");
  view->warmUp(warmUpURL);
  // The engine's own account of the load, as the delegate hears nothing of it.
  auto* engine = WEBKIT_WEB_VIEW(gtkView().widget());
  ASSERT_TRUE(spinUntil(
      [&] {
        return webkit_web_view_get_estimated_load_progress(engine) == 1.0 &&
               !webkit_web_view_is_loading(engine);
      },
      20));
  EXPECT_EQ(view->currentURL(), warmUpURL);
  spinFor(0.2);
  EXPECT_EQ(delegate.finished, 0);
  EXPECT_TRUE(delegate.navigations.empty());

  show("/", page("<p>the real page</p>"));
  EXPECT_EQ(delegate.finished, 1);
  ASSERT_EQ(delegate.navigations.size(), 1u);
  EXPECT_EQ(delegate.navigations[0].url, server.url("/"));
  EXPECT_FALSE(asked(server, "/.warm"));
}

// The real page may come while the warm-up document is still loading: cutting it short is
// neither a failure nor a second finished load.
TEST_F(WebViewTest, ARealLoadRightAfterTheWarmUpFinishesOnce) {
  server.serve("/", page("<p>at once</p>"));
  view->warmUp(server.url("/.warm"));
  view->loadURL(server.url("/"), 10);
  ASSERT_TRUE(spinUntil([&] { return delegate.finished == 1; }));
  spinFor(0.5);
  EXPECT_EQ(delegate.finished, 1);
  EXPECT_EQ(view->currentURL(), server.url("/"));
}

// A document loaded from a string has no base URL; WebKitGTK then calls it "about:blank".
TEST_F(WebViewTest, LoadHTMLShowsTheDocumentAtAboutBlank) {
  view->loadHTML(page("<script>report(location.href)</script>"));

  EXPECT_EQ(nextMessage(), "\"about:blank\"");
  ASSERT_TRUE(spinUntil([&] { return delegate.finished == 1; }));
  EXPECT_EQ(view->currentURL(), "about:blank");
}

TEST_F(WebViewTest, ScriptMessagesReachTheDelegateAsJsonUnderTheirHandlerName) {
  show("/", page(R"(<script>
    window.webkit.messageHandlers.qnSpeech.postMessage({cmd: "start"});
    report(["text", 4.5, null, {nested: true}]);
    report(typeof window.webkit.messageHandlers.other);
  </script>)"));

  EXPECT_EQ(nextMessage("qnSpeech"), R"({"cmd":"start"})");
  EXPECT_EQ(nextMessage(), R"(["text",4.5,null,{"nested":true}])");
  EXPECT_EQ(nextMessage(), "\"undefined\"");
}

// WebKitGTK does not tell which frame posted a message; it carries the host of the page shown.
TEST_F(WebViewTest, ScriptMessagesCarryTheHostOfThePageThatPostedThem) {
  show("/", page("<script>report('served')</script>"));
  ASSERT_TRUE(spinUntil([&] { return !delegate.messages.empty(); }));
  EXPECT_EQ(delegate.messages.front().originHost, "127.0.0.1");
  delegate.messages.clear();

  view->loadHTML(page("<script>report('from a string')</script>"));
  ASSERT_TRUE(spinUntil([&] { return !delegate.messages.empty(); }));
  EXPECT_EQ(delegate.messages.front().body, "\"from a string\"");
  EXPECT_EQ(delegate.messages.front().originHost, "");
}

TEST_F(WebViewTest, EvaluateJavaScriptRunsInThePage) {
  show("/", page("<title>the title</title>"));

  view->evaluateJavaScript("report(document.title)");

  EXPECT_EQ(nextMessage(), "\"the title\"");
}

TEST_F(WebViewTest, ReloadLoadsTheCurrentPageAgain) {
  show("/", page("<p>one</p>"));

  view->reload();

  ASSERT_TRUE(spinUntil([&] { return delegate.finished == 2; }));
  EXPECT_EQ(server.requests(), (std::vector<std::string>{"/", "/"}));
  EXPECT_EQ(delegate.navigations.back().type, NavigationType::Reload);
}

// What WebKitGTK reports for each kind of navigation the page can start.
TEST_F(WebViewTest, NavigationTypesAreTranslated) {
  server.serve("/next", page("<p>next</p>"));
  show("/", page(R"(<a href="/next">link</a>
    <form action="/next" method="get"><input name="q" value="1"></form>)"));
  auto typeOf = [&](const std::string& script, const std::string& path) {
    delegate.navigationPolicy = [](const NavigationAction&) { return PolicyDecision::Cancel; };
    size_t before = delegate.navigations.size();
    view->evaluateJavaScript(script);
    EXPECT_TRUE(spinUntil([&] { return delegate.navigations.size() > before; })) << script;
    if (delegate.navigations.size() == before) return NavigationType::Other;
    const NavigationAction& action = delegate.navigations.back();
    EXPECT_EQ(action.url, server.url(path)) << script;
    EXPECT_TRUE(action.hasTargetFrame) << script;
    return action.type;
  };

  EXPECT_EQ(typeOf("document.querySelector('a').click()", "/next"), NavigationType::LinkActivated);
  EXPECT_EQ(typeOf("document.querySelector('form').submit()", "/next?q=1"),
            NavigationType::FormSubmitted);
  EXPECT_EQ(typeOf("location.href = '/next'", "/next"), NavigationType::Other);

  delegate.navigationPolicy = nullptr;
  view->evaluateJavaScript("location.href = '/next'");
  ASSERT_TRUE(spinUntil([&] { return delegate.finished == 2; }));
  EXPECT_EQ(typeOf("history.back()", "/"), NavigationType::BackForward);
}

TEST_F(WebViewTest, ACancelledNavigationLeavesThePageInPlace) {
  show("/", page(R"(<a href="/second">second</a>)"));
  server.serve("/second", page("<p>second</p>"));
  delegate.navigationPolicy = [](const NavigationAction& action) {
    return action.url && action.url->ends_with("/second") ? PolicyDecision::Cancel
                                                          : PolicyDecision::Allow;
  };

  view->evaluateJavaScript("document.querySelector('a').click()");
  ASSERT_TRUE(spinUntil([&] { return delegate.navigations.size() == 2; }));
  spinFor(0.5);

  EXPECT_FALSE(asked(server, "/second"));
  EXPECT_EQ(view->currentURL(), server.url("/"));
  EXPECT_EQ(delegate.finished, 1);

  delegate.navigationPolicy = nullptr;
  view->evaluateJavaScript("document.querySelector('a').click()");
  ASSERT_TRUE(spinUntil([&] { return delegate.finished == 2; }));
  EXPECT_EQ(view->currentURL(), server.url("/second"));
}

TEST_F(WebViewTest, NewWindowRequestsAreReportedOnceAndNeverOpened) {
  show("/", page(R"(<a href="/blank" target="_blank">blank</a>)"));
  server.serve("/popup", page("<p>popup</p>"));
  server.serve("/blank", page("<p>blank</p>"));
  GList* toplevels = gtk_window_list_toplevels();
  guint windowsBefore = g_list_length(toplevels);
  g_list_free(toplevels);

  view->evaluateJavaScript("window.open('/popup')");
  ASSERT_TRUE(spinUntil([&] { return delegate.newWindows.size() == 1; }));
  view->evaluateJavaScript("document.querySelector('a').click()");
  ASSERT_TRUE(spinUntil([&] { return delegate.newWindows.size() == 2; }));
  spinFor(1);

  ASSERT_EQ(delegate.newWindows.size(), 2u);
  EXPECT_EQ(delegate.newWindows[0].url, server.url("/popup"));
  EXPECT_EQ(delegate.newWindows[0].type, NavigationType::Other);
  EXPECT_FALSE(delegate.newWindows[0].hasTargetFrame);
  EXPECT_EQ(delegate.newWindows[1].url, server.url("/blank"));
  EXPECT_EQ(delegate.newWindows[1].type, NavigationType::LinkActivated);
  EXPECT_FALSE(delegate.newWindows[1].hasTargetFrame);
  EXPECT_FALSE(asked(server, "/popup"));
  EXPECT_FALSE(asked(server, "/blank"));
  EXPECT_EQ(view->currentURL(), server.url("/"));
  toplevels = gtk_window_list_toplevels();
  EXPECT_EQ(g_list_length(toplevels), windowsBefore);
  g_list_free(toplevels);
}

// Only camera and microphone are the host's to grant; anything else the page asks for is refused.
TEST_F(WebViewTest, OtherPermissionsAreDenied) {
  show("/", page("<p>asks</p>"));

  view->evaluateJavaScript("Notification.requestPermission().then(report)");

  EXPECT_EQ(nextMessage(), "\"denied\"");
  EXPECT_TRUE(delegate.mediaHosts.empty());
}

}  // namespace
}  // namespace qn::test
