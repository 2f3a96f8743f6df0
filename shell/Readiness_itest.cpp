#include <gtest/gtest.h>

#include "shell/SimShell_testing.h"
#include "tests/support/FakeHttpServer.h"
#include "tests/support/TestSupport.h"

namespace qn {
namespace {

// The readiness wait on the virtual clock, probing a real socket.
class ReadinessTest : public ::testing::Test {
 protected:
  void start(int port) {
    shell_.delegate->config = AppConfig(dir_.path(), port);
    shell_.delegate->setupWindow();
    shell_.delegate->waitForServerReady();
  }
  const std::vector<SimWebView::Load>& loads() { return shell_.webView().loads; }

  test::TempDir dir_;
  test::SimShell shell_{dir_.file("QUENTRA"), {}};
  test::FakeHttpServer service_;
  test::ScopedEnv lang_{"QUENTRA_LANG", "en"};
};

TEST_F(ReadinessTest, FirstProbeComesOneIntervalAfterTheCall) {
  start(service_.port());
  shell_.loop.advance(0.19);
  EXPECT_EQ(service_.requestCount(), 0u);
  shell_.loop.advance(0.01);
  EXPECT_EQ(service_.requestCount(), 1u);
  ASSERT_EQ(loads().size(), 1u);
  EXPECT_EQ(loads()[0].content, "http://127.0.0.1:" + std::to_string(service_.port()) + "/");
  shell_.loop.advance(5);
  EXPECT_EQ(service_.requestCount(), 1u) << "no probe after the page was loaded";
}

TEST_F(ReadinessTest, AnAnswerWithoutTheProductTimesOutAfterAHundredProbes) {
  service_.setReply({200, R"({"status":"ok"})", "application/json"});
  start(service_.port());
  shell_.loop.advance(0.2 * 99);
  EXPECT_EQ(service_.requestCount(), 99u);
  EXPECT_TRUE(loads().empty());
  shell_.loop.advance(0.2);
  EXPECT_EQ(service_.requestCount(), 100u);
  ASSERT_EQ(loads().size(), 1u);
  EXPECT_EQ(loads()[0].kind, SimWebView::Load::Kind::HTML);
  EXPECT_NE(loads()[0].content.find("<p>The service didn't start within 20 seconds.</p>"),
            std::string::npos);
  shell_.loop.advance(60);
  EXPECT_EQ(service_.requestCount(), 100u) << "no probe after the error page";
  EXPECT_EQ(shell_.loop.activeTimerCount(), 0u);
}

TEST_F(ReadinessTest, NothingListeningShowsTheChineseTimeOutPage) {
  test::ScopedEnv zh("QUENTRA_LANG", "zh");
  start(test::unusedPort());
  shell_.loop.advance(20);
  ASSERT_EQ(loads().size(), 1u);
  EXPECT_NE(loads()[0].content.find("<p>服务启动超时（20 秒）。后台服务未能按预期就绪。</p>"),
            std::string::npos);
  EXPECT_NE(loads()[0].content.find("<html lang=\"zh-CN\">"), std::string::npos);
}

TEST_F(ReadinessTest, APortThatFormsNoURLNeverLoadsAPage) {
  for (const int64_t port : {int64_t{-1}, int64_t{65536}, INT64_MAX}) {
    shell_.delegate->config = AppConfig(dir_.path(), port);
    if (!shell_.delegate->webView) shell_.delegate->setupWindow();
    shell_.delegate->loadMainPage();
    shell_.loop.runPending();
    EXPECT_TRUE(loads().empty()) << port;
  }
}

TEST_F(ReadinessTest, TwoWaitsAreIndependentAndAGoneDelegateStopsTheTimer) {
  service_.setReply({503, "", "text/plain"});
  start(service_.port());
  shell_.loop.advance(0.1);
  shell_.delegate->waitForServerReady();
  shell_.loop.advance(0.1);
  EXPECT_EQ(service_.requestCount(), 1u);
  shell_.loop.advance(0.1);
  EXPECT_EQ(service_.requestCount(), 2u);
  shell_.delegate.reset();
  shell_.loop.advance(1);
  EXPECT_EQ(service_.requestCount(), 2u);
  EXPECT_EQ(shell_.loop.activeTimerCount(), 0u);
}

}  // namespace
}  // namespace qn
