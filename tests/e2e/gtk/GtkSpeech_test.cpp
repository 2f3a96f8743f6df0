// The dictation bridge in a real web view with this desktop's speech port: the page's messages
// go to the bridge as the shell passes them, and its events come back to the page.

#include <nlohmann/json.hpp>

#include "platform/gtk/GtkSpeech.h"
#include "shell/web/SpeechBridge.h"
#include "tests/e2e/gtk/WebViewFixture.h"
#include "tests/support/TestSupport.h"

namespace qn::test {
namespace {

using nlohmann::json;

const char* speakingPage = R"(<script>
  window.__qnSpeechEvent = (event) => report(event);
  function speak(body) { window.webkit.messageHandlers.qnSpeech.postMessage(body); }
</script>)";

class SpeechPageTest : public WebViewTest {
 protected:
  void SetUp() override {
    WebViewTest::SetUp();
    bridge = std::make_unique<SpeechBridge>(desktop().loop(), speech, *view);
  }
  void TearDown() override {
    bridge.reset();
    WebViewTest::TearDown();
  }

  // Has the page post body, hands the message to the bridge with its origin, and returns the
  // event the page then reports; none when no event comes.
  std::optional<json> ask(const std::string& body, double seconds = 10) {
    view->evaluateJavaScript("speak(" + body + ")");
    std::optional<RecordingDelegate::Message> message;
    spinUntil([&] {
      if (delegate.messages.empty()) return false;
      message = delegate.messages.front();
      delegate.messages.pop_front();
      return true;
    });
    if (!message || message->handler != "qnSpeech") {
      ADD_FAILURE() << "the page's message did not arrive";
      return std::nullopt;
    }
    bridge->didReceive(message->body, message->originHost);
    const auto event = nextMessage("probe", seconds);
    if (!event) return std::nullopt;
    return json::parse(*event);
  }

  ScopedEnv english_{"QUENTRA_LANG", "en"};
  GtkSpeech speech;
  std::unique_ptr<SpeechBridge> bridge;
};

TEST_F(SpeechPageTest, StatusReportsThatThisDesktopHasNoRecognizer) {
  show("/", page(speakingPage));
  EXPECT_EQ(ask(R"({cmd: "status"})"), (json{{"type", "status"},
                                             {"available", false},
                                             {"onDevice", false},
                                             {"auth", "authorized"},
                                             {"lang", "zh-CN"}}));
}

TEST_F(SpeechPageTest, StartEndsInTheUnavailableError) {
  show("/", page(speakingPage));
  EXPECT_EQ(
      ask(R"({cmd: "start", lang: "en-US"})"),
      (json{{"type", "error"},
            {"code", "unavailable"},
            {"message", "On-device dictation for this language isn't available on this Mac."}}));
}

TEST_F(SpeechPageTest, APageWithoutALocalOriginIsNotAnswered) {
  view->loadHTML(page(speakingPage));
  ASSERT_TRUE(spinUntil([&] { return delegate.finished == 1; }));
  EXPECT_EQ(ask(R"({cmd: "status"})", 1), std::nullopt);
}

}  // namespace
}  // namespace qn::test
