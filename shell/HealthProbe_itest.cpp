#include <gtest/gtest.h>

#include <chrono>

#include "shell/SimShell_testing.h"
#include "tests/support/FakeHttpServer.h"
#include "tests/support/TestSupport.h"

namespace qn {
namespace {

class HealthProbeTest : public ::testing::Test {
 protected:
  test::TempDir dir_;
  test::SimShell shell_{dir_.file("QUENTRA"), {}};
};

TEST_F(HealthProbeTest, ClassifiesRealAnswers) {
  struct Case {
    const char* name;
    test::FakeHttpServer::Reply reply;
    HealthStatus expected;
  };
  const Case cases[] = {
      {"our service", {200, R"({"product":"QUENTRA"})", "application/json"}, {true, true}},
      {"html", {200, "<html></html>", "text/html"}, {false, true}},
      {"other product", {200, R"({"product":"quentra"})", "application/json"}, {false, true}},
      {"not found", {404, "{}", "application/json"}, {false, false}},
  };
  for (const Case& c : cases) {
    test::FakeHttpServer server;
    server.setReply(c.reply);
    EXPECT_EQ(shell_.delegate->checkHealthSync(server.port()), c.expected) << c.name;
    EXPECT_EQ(server.paths(), std::vector<std::string>{"/api/health"}) << c.name;
  }
}

TEST_F(HealthProbeTest, RefusedAndUnformableURLsFindNothing) {
  EXPECT_EQ(shell_.delegate->checkHealthSync(test::unusedPort()), (HealthStatus{false, false}));
  EXPECT_EQ(shell_.delegate->checkHealthSync(-1), (HealthStatus{false, false}));
  EXPECT_EQ(shell_.delegate->checkHealthSync(65536), (HealthStatus{false, false}));
}

TEST_F(HealthProbeTest, SilentListenerTimesOutWithinTheBound) {
  test::FakeHttpServer silent;
  silent.setSilent(true);
  const auto start = std::chrono::steady_clock::now();
  EXPECT_EQ(shell_.delegate->checkHealthSync(silent.port()), (HealthStatus{false, true}));
  const double elapsed =
      std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
  EXPECT_GE(elapsed, 1.1);
  EXPECT_LE(elapsed, 1.6);
}

}  // namespace
}  // namespace qn
