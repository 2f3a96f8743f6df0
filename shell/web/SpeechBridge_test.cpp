#include "shell/web/SpeechBridge.h"

#include <gtest/gtest.h>

#include <nlohmann/json.hpp>

#include "platform/sim/SimMainLoop.h"
#include "platform/sim/SimSpeech.h"
#include "platform/sim/SimWindows.h"
#include "shell/SimShell_testing.h"
#include "tests/support/TestSupport.h"

namespace qn {
namespace {

using nlohmann::json;

json J(const char* text) {
  return json::parse(text);
}

const std::string callPrefix = "window.__qnSpeechEvent && window.__qnSpeechEvent(";
const std::string callSuffix = ");";

// A bridge on the simulated loop, recogniser and web view. zh-CN and en-US dictate on the device.
class SpeechBridgeTest : public ::testing::Test {
 protected:
  SpeechBridgeTest() {
    speech.locales = {{"zh-CN", {}}, {"en-US", {}}};
    bridge = std::make_unique<SpeechBridge>(loop, speech, view);
  }

  void post(const std::string& body, const std::string& host = "127.0.0.1") {
    bridge->didReceive(body, host);
  }
  void command(const std::string& cmd) { post(json{{"cmd", cmd}}.dump()); }

  // The events delivered to the page since the last call, in order.
  std::vector<json> events() {
    loop.runPending();
    std::vector<json> result;
    for (const std::string& script : view.scripts) {
      if (!script.starts_with(callPrefix) || !script.ends_with(callSuffix)) {
        ADD_FAILURE() << "not an event call: " << script;
        continue;
      }
      result.push_back(json::parse(
          script.substr(callPrefix.size(), script.size() - callPrefix.size() - callSuffix.size())));
    }
    view.scripts.clear();
    return result;
  }

  // Starts a dictation and checks that it is listening.
  void startListening(const std::string& lang = "zh-CN") {
    post(json{{"cmd", "start"}, {"lang", lang}}.dump());
    ASSERT_EQ(events(), std::vector<json>{J(R"({"type":"started"})")});
  }

  // Nothing of a dictation is left running: no capture, no tap, no request, no timer.
  void expectIdle() {
    EXPECT_FALSE(speech.microphone.running);
    EXPECT_FALSE(speech.microphone.tap);
    EXPECT_FALSE(bridge->request);
    EXPECT_FALSE(bridge->task);
    EXPECT_EQ(loop.activeTimerCount(), 0u);
  }

  test::ScopedEnv english_{"QUENTRA_LANG", "en"};
  SimMainLoop loop;
  SimSpeech speech;
  SimWebView view{WebViewConfig{}};
  std::unique_ptr<SpeechBridge> bridge;
};

TEST_F(SpeechBridgeTest, EventsAreCompactGuardedCallsMadeInALaterTurnOfTheLoop) {
  command("start");
  EXPECT_TRUE(view.scripts.empty());
  loop.runPending();
  EXPECT_EQ(view.scripts,
            std::vector<std::string>{callPrefix + R"({"type":"started"})" + callSuffix});
}

struct StatusCase {
  const char* name;
  SimSpeech::Locale locale;
  bool hasRecognizer;
  bool available;
  bool onDevice;
};

TEST_F(SpeechBridgeTest, StatusIsAvailableOnlyWithARecognizerThatIsAvailableOnTheDevice) {
  const StatusCase cases[] = {
      {"available on the device", {true, true}, true, true, true},
      {"not available now", {false, true}, true, false, true},
      {"network only", {true, false}, true, false, false},
      {"no recogniser", {}, false, false, false},
  };
  for (const StatusCase& c : cases) {
    speech.locales.erase("fr-FR");
    if (c.hasRecognizer) speech.locales["fr-FR"] = c.locale;
    post(R"({"cmd":"status","lang":"fr-FR"})");
    const auto sent = events();
    ASSERT_EQ(sent.size(), 1u) << c.name;
    EXPECT_EQ(sent[0], (json{{"type", "status"},
                             {"available", c.available},
                             {"onDevice", c.onDevice},
                             {"auth", "authorized"},
                             {"lang", "fr-FR"}}))
        << c.name;
  }
}

TEST_F(SpeechBridgeTest, StatusReportsTheAuthorisationWithoutAskingForIt) {
  const std::pair<SpeechAuthorization, const char*> cases[] = {
      {SpeechAuthorization::NotDetermined, "notDetermined"},
      {SpeechAuthorization::Denied, "denied"},
      {SpeechAuthorization::Restricted, "restricted"},
      {SpeechAuthorization::Authorized, "authorized"},
      {SpeechAuthorization::Unknown, "unknown"},
  };
  for (const auto& [status, name] : cases) {
    speech.status = status;
    command("status");
    const auto sent = events();
    ASSERT_EQ(sent.size(), 1u) << name;
    EXPECT_EQ(sent[0]["auth"], name);
  }
  EXPECT_EQ(speech.authorizationRequests, 0);
}

TEST_F(SpeechBridgeTest, StatusWithoutAStringLangReportsOnZhCN) {
  speech.locales.erase("zh-CN");
  for (const char* body :
       {R"({"cmd":"status"})", R"({"cmd":"status","lang":5})", R"({"cmd":"status","lang":null})"}) {
    post(body);
    const auto sent = events();
    ASSERT_EQ(sent.size(), 1u) << body;
    EXPECT_EQ(sent[0]["lang"], "zh-CN") << body;
    EXPECT_EQ(sent[0]["available"], false) << body;
  }
}

TEST_F(SpeechBridgeTest, StatusLeavesARunningDictationAlone) {
  startListening();
  command("status");
  EXPECT_EQ(events().at(0)["type"], "status");
  EXPECT_TRUE(speech.microphone.running);
  speech.deliverPartial("still here");
  EXPECT_EQ(events(), std::vector<json>{J(R"({"type":"partial","text":"still here"})")});
}

TEST_F(SpeechBridgeTest, StartCapturesIntoAnOnDeviceRequestAndReportsResults) {
  startListening("en-US");
  EXPECT_EQ(speech.authorizationRequests, 1);
  EXPECT_EQ(speech.microphoneRequests, 1);
  ASSERT_EQ(speech.tasks.size(), 1u);
  const SimSpeech::Task& task = speech.tasks[0];
  EXPECT_EQ(task.locale, "en-US");
  EXPECT_TRUE(task.request->options.shouldReportPartialResults);
  EXPECT_TRUE(task.request->options.requiresOnDeviceRecognition);
  EXPECT_TRUE(task.request->options.addsPunctuation);
  EXPECT_EQ(speech.microphone.tap, task.request);
  EXPECT_EQ(speech.microphone.tapBufferFrames, 1024u);
  EXPECT_EQ(speech.microphone.prepareCount, 1);
  EXPECT_TRUE(speech.microphone.running);
  EXPECT_EQ(bridge->request, task.request);
  EXPECT_FALSE(bridge->finished);

  speech.deliverPartial("hello");
  speech.deliverPartial("hello wor");
  speech.deliver({std::nullopt, std::nullopt});
  speech.deliverFinal("Hello world.");
  EXPECT_EQ(events(), (std::vector<json>{J(R"({"type":"partial","text":"hello"})"),
                                         J(R"({"type":"partial","text":"hello wor"})"),
                                         J(R"({"type":"final","text":"Hello world."})")}));
  EXPECT_TRUE(bridge->finished);
  EXPECT_FALSE(speech.tasks[0].cancelled) << "a finished task is dropped, not cancelled";
  expectIdle();

  // Whatever the finished task still sends is not part of any dictation.
  speech.deliverFinal("Hello world again.");
  speech.deliverPartial("late");
  EXPECT_TRUE(events().empty());
}

TEST_F(SpeechBridgeTest, ATaskErrorFinishesWithTheTextGatheredSoFar) {
  startListening();
  speech.deliverPartial("你好");
  speech.deliverError("no speech detected");
  EXPECT_EQ(events(), (std::vector<json>{J(R"({"type":"partial","text":"你好"})"),
                                         J(R"({"type":"final","text":"你好"})")}));
  expectIdle();
}

TEST_F(SpeechBridgeTest, AResultWithAnErrorCountsAsAResult) {
  startListening();
  speech.deliver({{{"partial text", false}}, "late error"});
  EXPECT_EQ(events(), std::vector<json>{J(R"({"type":"partial","text":"partial text"})")});
  EXPECT_TRUE(speech.microphone.running);
}

struct StartFailure {
  const char* name;
  std::function<void(SimSpeech&)> setUp;
  const char* lang;
  const char* code;
  std::string zh;
  std::string en;
};

TEST_F(SpeechBridgeTest, AFailedStartSendsOneErrorAndLeavesNothingRunning) {
  const std::string deniedZh =
      "没有语音识别权限，请到 系统设置 → 隐私与安全性 → 语音识别 里允许 QUENTRA";
  const std::string deniedEn =
      "No speech recognition permission. Allow QUENTRA in System Settings → Privacy & Security → "
      "Speech Recognition.";
  const std::string unavailableZh = "这台 Mac 不支持该语言的本机听写";
  const std::string unavailableEn =
      "On-device dictation for this language isn't available on this Mac.";
  const StartFailure cases[] = {
      {"authorisation denied", [](SimSpeech& s) { s.status = SpeechAuthorization::Denied; },
       "zh-CN", "denied", deniedZh, deniedEn},
      {"authorisation restricted", [](SimSpeech& s) { s.status = SpeechAuthorization::Restricted; },
       "zh-CN", "denied", deniedZh, deniedEn},
      {"the user refuses when asked",
       [](SimSpeech& s) {
         s.status = SpeechAuthorization::NotDetermined;
         s.authorizationAnswer = SpeechAuthorization::Denied;
       },
       "zh-CN", "denied", deniedZh, deniedEn},
      {"microphone refused", [](SimSpeech& s) { s.microphoneGranted = false; }, "zh-CN",
       "mic_denied", "没有麦克风权限，请到 系统设置 → 隐私与安全性 → 麦克风 里允许 QUENTRA",
       "No microphone permission. Allow QUENTRA in System Settings → Privacy & Security → "
       "Microphone."},
      {"no recogniser for the locale", [](SimSpeech&) {}, "xx-XX", "unavailable", unavailableZh,
       unavailableEn},
      {"recogniser not available", [](SimSpeech& s) { s.locales["zh-CN"].available = false; },
       "zh-CN", "unavailable", unavailableZh, unavailableEn},
      {"recogniser off the device only", [](SimSpeech& s) { s.locales["zh-CN"].onDevice = false; },
       "zh-CN", "unavailable", unavailableZh, unavailableEn},
      {"capture does not start",
       [](SimSpeech& s) { s.microphone.startError = "The device is busy."; }, "zh-CN", "failed",
       "麦克风启动失败：The device is busy.", "Couldn't start the microphone: The device is busy."},
  };
  for (const StartFailure& c : cases) {
    for (const char* language : {"zh", "en"}) {
      SCOPED_TRACE(std::string(c.name) + " in " + language);
      test::ScopedEnv lang("QUENTRA_LANG", language);
      bridge.reset();
      speech = SimSpeech();
      speech.locales = {{"zh-CN", {}}};
      c.setUp(speech);
      bridge = std::make_unique<SpeechBridge>(loop, speech, view);

      post(json{{"cmd", "start"}, {"lang", c.lang}}.dump());
      const json error = {{"type", "error"},
                          {"code", c.code},
                          {"message", std::string(language) == "en" ? c.en : c.zh}};
      EXPECT_EQ(events(), std::vector<json>{error});
      EXPECT_EQ(speech.microphoneRequests, std::string(c.code) == "denied" ? 0 : 1)
          << "the microphone is asked for only after the authorisation";
      EXPECT_TRUE(speech.tasks.empty());
      expectIdle();
      command("stop");
      EXPECT_TRUE(events().empty()) << "idle after the error";
    }
  }
}

TEST_F(SpeechBridgeTest, TheErrorTextFollowsTheLanguageWhenTheErrorIsSent) {
  speech.holdAuthorization = true;
  speech.status = SpeechAuthorization::Denied;
  command("start");
  test::ScopedEnv chinese("QUENTRA_LANG", "zh");
  speech.deliverAuthorization();
  EXPECT_EQ(events().at(0)["message"],
            "没有语音识别权限，请到 系统设置 → 隐私与安全性 → 语音识别 里允许 QUENTRA");
}

TEST_F(SpeechBridgeTest, StopBeforeAnyStartSendsNothing) {
  command("stop");
  loop.advance(5);
  EXPECT_TRUE(events().empty());
  expectIdle();
}

TEST_F(SpeechBridgeTest, StopEndsTheAudioAndSendsTheFinalTextAtTheLatestThreeSecondsLater) {
  startListening();
  speech.deliverPartial("half a sent");
  EXPECT_EQ(events().size(), 1u);

  command("stop");
  EXPECT_FALSE(speech.microphone.running);
  EXPECT_FALSE(speech.microphone.tap);
  EXPECT_EQ(speech.tasks[0].request->endAudioCount, 1);
  EXPECT_FALSE(speech.tasks[0].cancelled);

  // Results still come in while the recogniser works through the audio.
  loop.advance(1);
  speech.deliverPartial("half a sentence");
  loop.advance(1.99);
  EXPECT_EQ(events(), std::vector<json>{J(R"({"type":"partial","text":"half a sentence"})")});

  loop.advance(0.01);
  EXPECT_EQ(events(), std::vector<json>{J(R"({"type":"final","text":"half a sentence"})")});
  EXPECT_FALSE(speech.tasks[0].cancelled);
  expectIdle();

  // A final result after the deadline makes no second "final".
  speech.deliverFinal("half a sentence.");
  loop.advance(10);
  EXPECT_TRUE(events().empty());
}

TEST_F(SpeechBridgeTest, AFinalResultBeforeTheDeadlineEndsTheDictationAtOnce) {
  startListening();
  command("stop");
  loop.advance(0.5);
  speech.deliverFinal("Done.");
  EXPECT_EQ(events(), std::vector<json>{J(R"({"type":"final","text":"Done."})")});
  expectIdle();
  loop.advance(5);
  EXPECT_TRUE(events().empty());
}

TEST_F(SpeechBridgeTest, ASecondStopKeepsTheFirstDeadline) {
  startListening();
  command("stop");
  loop.advance(2);
  command("stop");
  EXPECT_EQ(speech.tasks[0].request->endAudioCount, 1);
  loop.advance(1);
  EXPECT_EQ(events(), std::vector<json>{J(R"({"type":"final","text":""})")});
  loop.advance(5);
  EXPECT_TRUE(events().empty());
}

TEST_F(SpeechBridgeTest, CancelAlwaysSendsAnEmptyFinal) {
  command("cancel");
  EXPECT_EQ(events(), std::vector<json>{J(R"({"type":"final","text":""})")});
  EXPECT_TRUE(bridge->finished);

  startListening();
  // The partial result is still on its way to the main loop when the cancel comes.
  speech.deliverPartial("discard me");
  command("cancel");
  EXPECT_EQ(events(), std::vector<json>{J(R"({"type":"final","text":""})")});
  EXPECT_TRUE(speech.tasks[0].cancelled);
  expectIdle();
  speech.deliverFinal("too late");

  command("cancel");
  EXPECT_EQ(events(), std::vector<json>{J(R"({"type":"final","text":""})")})
      << "after a final was sent, and nothing from the cancelled task";
}

TEST_F(SpeechBridgeTest, CancelWhileStoppingDisarmsTheDeadline) {
  startListening();
  speech.deliverPartial("words");
  command("stop");
  EXPECT_EQ(events(), std::vector<json>{J(R"({"type":"partial","text":"words"})")});
  command("cancel");
  loop.advance(5);
  EXPECT_EQ(events(), std::vector<json>{J(R"({"type":"final","text":""})")});
  expectIdle();
}

TEST_F(SpeechBridgeTest, ASecondStartSilentlyReplacesTheFirstDictation) {
  startListening();
  speech.deliverPartial("first");
  EXPECT_EQ(events().size(), 1u);

  startListening("en-US");
  EXPECT_EQ(speech.authorizationRequests, 2);
  ASSERT_EQ(speech.tasks.size(), 2u);
  EXPECT_TRUE(speech.tasks[0].cancelled);
  EXPECT_EQ(speech.microphone.tap, speech.tasks[1].request);

  // The first task's late results touch neither the page nor the new dictation.
  speech.deliverFinal("first, final", 0);
  speech.deliverPartial("second", 1);
  speech.deliverFinal("second, final", 1);
  EXPECT_EQ(events(), (std::vector<json>{J(R"({"type":"partial","text":"second"})"),
                                         J(R"({"type":"final","text":"second, final"})")}));
}

TEST_F(SpeechBridgeTest, TheDeadlineOfAReplacedDictationNeverFinishesTheNextOne) {
  startListening();
  command("stop");
  loop.advance(1);
  startListening();
  loop.advance(2.5);
  EXPECT_TRUE(events().empty());
  EXPECT_TRUE(bridge->request);
  EXPECT_TRUE(speech.microphone.running);

  command("stop");
  loop.advance(3);
  EXPECT_EQ(events(), std::vector<json>{J(R"({"type":"final","text":""})")});
}

struct PendingStart {
  const char* name;
  bool holdAuthorization;
  const char* command;
};

// A start whose access answers are still out is abandoned by "stop" or "cancel": the page gets
// one empty "final", and the late answers start nothing.
TEST_F(SpeechBridgeTest, StopOrCancelWhileAccessIsAskedForAbandonsTheStart) {
  const PendingStart cases[] = {
      {"stop during authorisation", true, "stop"},
      {"cancel during authorisation", true, "cancel"},
      {"stop during microphone access", false, "stop"},
      {"cancel during microphone access", false, "cancel"},
  };
  for (const PendingStart& c : cases) {
    SCOPED_TRACE(c.name);
    bridge.reset();
    speech = SimSpeech();
    speech.locales = {{"zh-CN", {}}};
    speech.holdAuthorization = c.holdAuthorization;
    speech.holdMicrophoneAccess = !c.holdAuthorization;
    bridge = std::make_unique<SpeechBridge>(loop, speech, view);

    command("start");
    EXPECT_TRUE(events().empty());
    command(c.command);
    EXPECT_EQ(events(), std::vector<json>{J(R"({"type":"final","text":""})")});
    speech.deliverAuthorization();
    speech.deliverMicrophoneAccess();
    loop.advance(5);
    EXPECT_TRUE(events().empty());
    EXPECT_EQ(speech.microphoneRequests, c.holdAuthorization ? 0 : 1);
    EXPECT_TRUE(speech.tasks.empty());
    expectIdle();
  }
}

TEST_F(SpeechBridgeTest, OnlyTheLatestStartGoesOnWhenItsAnswersCome) {
  speech.holdAuthorization = true;
  command("start");
  post(R"({"cmd":"start","lang":"en-US"})");
  speech.deliverAuthorization();
  EXPECT_EQ(events(), std::vector<json>{J(R"({"type":"started"})")});
  EXPECT_EQ(speech.microphoneRequests, 1);
  ASSERT_EQ(speech.tasks.size(), 1u);
  EXPECT_EQ(speech.tasks[0].locale, "en-US");
}

TEST_F(SpeechBridgeTest, MessagesFromFramesThatAreNotLocalAreIgnored) {
  for (const char* host : {"example.com", "", "127.0.0.2", "LOCALHOST", "localhost.example.com",
                           "127.0.0.1.example.com", "[::1]"}) {
    post(R"({"cmd":"status"})", host);
    post(R"({"cmd":"start"})", host);
    post(R"({"cmd":"cancel"})", host);
    EXPECT_TRUE(events().empty()) << host;
  }
  EXPECT_EQ(speech.authorizationRequests, 0);
  for (const char* host : {"127.0.0.1", "localhost"}) {
    post(R"({"cmd":"status"})", host);
    EXPECT_EQ(events().size(), 1u) << host;
  }
}

TEST_F(SpeechBridgeTest, BodiesWithoutAStringCmdOrWithAnotherCommandAreIgnored) {
  const std::string deep = std::string(100000, '[') + std::string(100000, ']');
  const std::string huge = R"({"cmd":")" + std::string(2'000'000, 'x') + R"("})";
  const std::string bodies[] = {
      "null",
      "[]",
      R"(["status"])",
      R"("status")",
      "42",
      "true",
      "",
      "not json",
      R"({"cmd":"status")",
      R"({"cmd":"status"} trailing)",
      "{}",
      R"({"lang":"zh-CN"})",
      R"({"cmd":42})",
      R"({"cmd":null})",
      R"({"cmd":true})",
      R"({"cmd":["status"]})",
      R"({"cmd":{"name":"status"}})",
      R"({"cmd":"STATUS"})",
      R"({"cmd":" status"})",
      R"({"cmd":"pause"})",
      "{\"cmd\":\"sta\xfftus\"}",
      "{\"cmd\":\"status\",\"lang\":\"zh\xc3\"}",
      R"({"cmd":"status\u0000"})",
      R"({"cmd":"\ud800"})",
      deep,
      huge,
  };
  for (const std::string& body : bodies) {
    post(body);
    EXPECT_TRUE(events().empty()) << body.substr(0, 60);
  }
  EXPECT_EQ(speech.authorizationRequests, 0);
}

TEST_F(SpeechBridgeTest, AHugeLangIsUsedUnchanged) {
  const std::string lang(1'000'000, 'z');
  post(json{{"cmd", "status"}, {"lang", lang}}.dump());
  const auto sent = events();
  ASSERT_EQ(sent.size(), 1u);
  EXPECT_EQ(sent[0]["lang"], lang);
}

TEST_F(SpeechBridgeTest, TextThatIsNotValidUtf8ReachesThePageWithReplacementCharacters) {
  speech.microphone.startError = "bad \xff device";
  command("start");
  EXPECT_EQ(events().at(0)["message"], "Couldn't start the microphone: bad \xef\xbf\xbd device");

  speech.microphone.startError.reset();
  startListening();
  speech.deliverPartial("caf\xc3");
  speech.deliverFinal("caf\xc3\xa9 \xe4\xbd");
  EXPECT_EQ(events(),
            (std::vector<json>{json{{"type", "partial"}, {"text", "caf\xef\xbf\xbd"}},
                               json{{"type", "final"}, {"text", "caf\xc3\xa9 \xef\xbf\xbd"}}}));
}

TEST_F(SpeechBridgeTest, NothingReachesThePageOrTheBridgeOnceTheBridgeIsGone) {
  speech.holdAuthorization = true;
  command("status");
  command("start");
  bridge.reset();
  speech.deliverAuthorization();
  loop.advance(5);
  EXPECT_TRUE(view.scripts.empty());
  EXPECT_EQ(speech.microphoneRequests, 0);
}

TEST_F(SpeechBridgeTest, DestroyingTheBridgeStopsARunningDictation) {
  startListening();
  command("stop");
  speech.deliverPartial("queued");
  bridge.reset();
  loop.advance(5);
  EXPECT_TRUE(view.scripts.empty());
  EXPECT_TRUE(speech.tasks[0].cancelled);
  EXPECT_FALSE(speech.microphone.running);
  EXPECT_FALSE(speech.microphone.tap);
  EXPECT_EQ(loop.activeTimerCount(), 0u);
}

TEST(ShellSpeechMessages, OnlyTheSpeechHandlersLocalMessagesReachTheBridge) {
  test::ScopedEnv english("QUENTRA_LANG", "en");
  test::SimShell shell("/nonexistent/QUENTRA", {}, Environment());
  shell.speech.locales = {{"zh-CN", {}}};
  shell.delegate->setupWindow();

  shell.delegate->didReceiveScriptMessage("probe", R"({"cmd":"status"})", "127.0.0.1");
  shell.delegate->didReceiveScriptMessage("qnSpeech", R"({"cmd":"status"})", "example.com");
  shell.delegate->didReceiveScriptMessage("qnSpeech", R"({"cmd":"status"})", "127.0.0.1");
  shell.loop.runPending();

  EXPECT_EQ(
      shell.webView().scripts,
      std::vector<std::string>{
          callPrefix +
          R"({"auth":"authorized","available":true,"lang":"zh-CN","onDevice":true,"type":"status"})" +
          callSuffix});
}

}  // namespace
}  // namespace qn
