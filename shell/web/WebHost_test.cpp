#include <gtest/gtest.h>

#include <nlohmann/json.hpp>

#include "shell/SimShell_testing.h"
#include "tests/support/FakeHttpServer.h"
#include "tests/support/TestSupport.h"

namespace qn {
namespace {

// The main web view's host on the simulated desktop, with the service page loaded.
class WebHostTest : public ::testing::Test {
 protected:
  WebHostTest() {
    delegate().config = AppConfig(dir_.path(), service_.port());
    delegate().setupWindow();
  }
  AppDelegate& delegate() { return *shell_.delegate; }
  SimWebView& webView() { return shell_.webView(); }
  SimMainWindow& window() { return *shell_.windows.created.at(0); }

  void loadServicePage() {
    webView().loadURL("http://127.0.0.1:" + std::to_string(service_.port()) + "/", 60);
    webView().finishLoad();
    ASSERT_TRUE(delegate().isPageLoaded);
  }

  // The object the page received through its protocol handler, from the one script evaluated.
  std::optional<nlohmann::json> deliveredPayload() {
    shell_.loop.runPending();
    if (webView().scripts.empty()) return std::nullopt;
    const std::string script = webView().scripts.back();
    const std::string prefix =
        "if (window.__handleQuentraProtocol) { window.__handleQuentraProtocol(";
    const std::string suffix = "); }";
    EXPECT_TRUE(script.starts_with(prefix) && script.ends_with(suffix)) << script;
    webView().scripts.clear();
    return nlohmann::json::parse(
        script.substr(prefix.size(), script.size() - prefix.size() - suffix.size()));
  }

  test::TempDir dir_;
  test::FakeHttpServer service_;
  test::SimShell shell_{dir_.file("QUENTRA"), {}};
  test::ScopedEnv lang_{"QUENTRA_LANG", "en"};
};

TEST_F(WebHostTest, AlertAndConfirmAnswerThroughTheirPanels) {
  int alertsDone = 0;
  delegate().runAlertPanel("hello", [&] { ++alertsDone; });
  ASSERT_EQ(shell_.dialogs.panels.size(), 1u);
  EXPECT_EQ(shell_.dialogs.panels[0].options.message, "hello");
  EXPECT_EQ(shell_.dialogs.panels[0].options.buttons, std::vector<std::string>{"OK"});
  EXPECT_EQ(shell_.dialogs.panels[0].mode, PanelMode::Sheet);
  EXPECT_EQ(alertsDone, 0) << "the page waits for the panel";
  shell_.dialogs.panels[0].done(-1, "");
  EXPECT_EQ(alertsDone, 1);

  std::vector<bool> answers;
  for (int button : {0, 1, -1}) {
    delegate().runConfirmPanel("sure?", [&](bool ok) { answers.push_back(ok); });
    EXPECT_EQ(shell_.dialogs.panels.back().options.buttons,
              (std::vector<std::string>{"OK", "Cancel"}));
    shell_.dialogs.panels.back().done(button, "");
  }
  EXPECT_EQ(answers, (std::vector<bool>{true, false, false}));

  window().hide();
  delegate().runAlertPanel("hidden", [] {});
  EXPECT_EQ(shell_.dialogs.panels.back().mode, PanelMode::ApplicationModal);
}

TEST_F(WebHostTest, PromptAnswersTheFieldOrNull) {
  test::ScopedEnv zh("QUENTRA_LANG", "zh");
  std::vector<std::optional<std::string>> answers;
  for (int button : {0, 1}) {
    delegate().runPromptPanel("name?", "default", [&](auto text) { answers.push_back(text); });
    const auto& panel = shell_.dialogs.panels.back();
    EXPECT_EQ(panel.options.buttons, (std::vector<std::string>{"确定", "取消"}));
    ASSERT_TRUE(panel.options.field);
    EXPECT_EQ(panel.options.field->defaultText, "default");
    panel.done(button, "typed");
  }
  EXPECT_EQ(answers, (std::vector<std::optional<std::string>>{"typed", std::nullopt}));
  delegate().runAlertPanel("x", [] {});
  EXPECT_EQ(shell_.dialogs.panels.back().options.buttons, std::vector<std::string>{"好"});
}

TEST_F(WebHostTest, OpenPanelChoosesFilesOrFolders) {
  delegate().runOpenPanel({true, false}, [](auto) {});
  delegate().runOpenPanel({false, true}, [](auto) {});
  ASSERT_EQ(shell_.dialogs.openPanels.size(), 2u);
  const OpenPanelOptions& folders = shell_.dialogs.openPanels[0].options;
  EXPECT_FALSE(folders.canChooseFiles);
  EXPECT_TRUE(folders.canChooseDirectories);
  EXPECT_FALSE(folders.allowsMultipleSelection);
  EXPECT_EQ(folders.prompt, "Choose Folder");
  const OpenPanelOptions& files = shell_.dialogs.openPanels[1].options;
  EXPECT_TRUE(files.canChooseFiles);
  EXPECT_FALSE(files.canChooseDirectories);
  EXPECT_TRUE(files.allowsMultipleSelection);
  EXPECT_EQ(files.prompt, "Choose");
  test::ScopedEnv zh("QUENTRA_LANG", "zh");
  delegate().runOpenPanel({true, true}, [](auto) {});
  EXPECT_EQ(shell_.dialogs.openPanels.back().options.prompt, "选择文件夹");
}

TEST_F(WebHostTest, MediaIsGrantedToLocalOriginsOnly) {
  EXPECT_TRUE(delegate().decideMediaCapture("127.0.0.1"));
  EXPECT_TRUE(delegate().decideMediaCapture("localhost"));
  for (const char* host : {"127.0.0.2", "example.com", "LOCALHOST", "", "localhost.evil.com"}) {
    EXPECT_FALSE(delegate().decideMediaCapture(host)) << host;
  }
}

TEST_F(WebHostTest, NewWindowsOpenInPlaceOrWithTheSystem) {
  delegate().requestNewWindow(
      {"http://localhost:9/in-place", NavigationType::LinkActivated, false});
  delegate().requestNewWindow({"https://example.com/", NavigationType::Other, false});
  testing::internal::CaptureStderr();
  delegate().requestNewWindow({"DATA:text/html,x", NavigationType::Other, false});
  delegate().requestNewWindow({std::nullopt, NavigationType::Other, false});
  const std::string logged = testing::internal::GetCapturedStderr();
  ASSERT_EQ(webView().loads.size(), 1u);
  EXPECT_EQ(webView().loads[0].content, "http://localhost:9/in-place");
  EXPECT_EQ(shell_.opener.urls, std::vector<std::string>{"https://example.com/"});
  EXPECT_EQ(logged, "QUENTRA 忽略新窗口请求（不是网页地址）：data\n");
}

TEST_F(WebHostTest, NavigationEffectsRunAfterTheDecision) {
  EXPECT_EQ(
      delegate().decideNavigation({"quentra://open-log", NavigationType::LinkActivated, true}),
      PolicyDecision::Cancel);
  EXPECT_EQ(
      delegate().decideNavigation({"https://example.com/", NavigationType::LinkActivated, true}),
      PolicyDecision::Cancel);
  EXPECT_TRUE(shell_.opener.files.empty());
  shell_.loop.runPending();
  delegate().logFilePath = dir_.file("logs/server.log");
  EXPECT_EQ(shell_.opener.urls, std::vector<std::string>{"https://example.com/"});
  ASSERT_EQ(shell_.opener.files.size(), 1u);

  // Retry runs the port check: the fake service answers as ours, so the page is loaded.
  EXPECT_EQ(delegate().decideNavigation({"quentra://retry", NavigationType::LinkActivated, true}),
            PolicyDecision::Cancel);
  shell_.loop.runPending();
  shell_.loop.runPending();
  ASSERT_FALSE(webView().loads.empty());
  EXPECT_EQ(webView().loads.back().content,
            "http://127.0.0.1:" + std::to_string(service_.port()) + "/");
}

TEST_F(WebHostTest, CustomURLsBecomePageActions) {
  loadServicePage();
  struct Case {
    const char* url;
    std::optional<nlohmann::json> payload;
  };
  const Case cases[] = {
      {"quentra://skill/my-skill_2", nlohmann::json{{"action", "skill"}, {"id", "my-skill_2"}}},
      {"quentra://skill//my-skill/", nlohmann::json{{"action", "skill"}, {"id", "my-skill"}}},
      {"QUENTRA://SKILL/abc", nlohmann::json{{"action", "skill"}, {"id", "abc"}}},
      {"quentra://skill/My-Skill", std::nullopt},
      {"quentra://skill/-x", std::nullopt},
      {"quentra://skill/_x", std::nullopt},
      {"quentra://skill/a/b", std::nullopt},
      {"quentra://skill/", std::nullopt},
      {"quentra://skills/ask?q=hello%20world",
       nlohmann::json{{"action", "ask"}, {"q", "hello world"}}},
      {"quentra://skills/ask", nlohmann::json{{"action", "ask"}, {"q", ""}}},
      {"quentra://skills//ask/?x=1", nlohmann::json{{"action", "ask"}, {"q", ""}}},
      {"quentra://skills/ask?q=%ZZ", nlohmann::json{{"action", "ask"}, {"q", ""}}},
      {"quentra://skills/ask?q=%FF%FE",
       nlohmann::json{{"action", "ask"}, {"q", "\xEF\xBF\xBD\xEF\xBF\xBD"}}},
      {"quentra://skills/list", std::nullopt},
      {"quentra://other/x", std::nullopt},
      {"http://skill/abc", std::nullopt},
      {"quentra://open-log", std::nullopt},
  };
  for (const Case& c : cases) {
    delegate().handleCustomURL(c.url);
    EXPECT_EQ(deliveredPayload(), c.payload) << c.url;
  }
  const std::string longest(64, 'a');
  delegate().handleCustomURL("quentra://skill/" + longest);
  EXPECT_TRUE(deliveredPayload());
  delegate().handleCustomURL("quentra://skill/" + longest + "a");
  EXPECT_FALSE(deliveredPayload());
}

TEST_F(WebHostTest, QuestionsAreCutAtTwoHundredCharactersAndEscapedByTheSerialiser) {
  loadServicePage();
  // Each character is a family emoji of five code points, percent-encoded.
  std::string encoded;
  std::string decoded;
  const std::string family =
      "\xF0\x9F\x91\xA8\xE2\x80\x8D\xF0\x9F\x91\xA9\xE2\x80\x8D\xF0\x9F\x91\xA7";
  for (int i = 0; i < 300; ++i) {
    for (unsigned char c : family) {
      char hex[4];
      std::snprintf(hex, sizeof hex, "%%%02X", c);
      encoded += hex;
    }
    if (i < 200) decoded += family;
  }
  delegate().handleCustomURL("quentra://skills/ask?q=" + encoded);
  EXPECT_EQ(deliveredPayload(), (nlohmann::json{{"action", "ask"}, {"q", decoded}}));

  const std::string hostile = "say \"hi\" \\ now\n</script>\xE2\x80\xA8 end";
  delegate().handleCustomURL(
      "quentra://skills/ask?q=say%20%22hi%22%20%5C%20now%0A%3C%2Fscript%3E%E2%80%A8%20end");
  EXPECT_EQ(deliveredPayload(), (nlohmann::json{{"action", "ask"}, {"q", hostile}}));
}

TEST_F(WebHostTest, EarlyURLsWaitAndOnlyTheLastIsDelivered) {
  window().hide();
  delegate().handleCustomURL("quentra://skill/first");
  delegate().handleCustomURL("quentra://skill/second");
  EXPECT_FALSE(deliveredPayload());
  // The error page is not the service page: the URL keeps waiting.
  webView().loadHTML("<html></html>");
  webView().finishLoad();
  EXPECT_FALSE(deliveredPayload());
  EXPECT_EQ(delegate().pendingCustomURL, "quentra://skill/second");

  const int presented = window().presentCount;
  loadServicePage();
  EXPECT_FALSE(delegate().pendingCustomURL);
  EXPECT_EQ(deliveredPayload(), (nlohmann::json{{"action", "skill"}, {"id", "second"}}));
  EXPECT_EQ(window().presentCount, presented + 1) << "brought to the front although hidden";
  EXPECT_TRUE(window().visible);

  webView().finishLoad();  // a reload replays nothing
  EXPECT_FALSE(deliveredPayload());
}

TEST_F(WebHostTest, OpenedURLsAreHandledInOrder) {
  loadServicePage();
  delegate().openURLs({"quentra://skill/a", "quentra://retry", "quentra://skill/b"});
  shell_.loop.runPending();
  ASSERT_EQ(webView().scripts.size(), 2u);
  EXPECT_NE(webView().scripts[0].find(R"("id":"a")"), std::string::npos);
  EXPECT_NE(webView().scripts[1].find(R"("id":"b")"), std::string::npos);
}

}  // namespace
}  // namespace qn
