#include "base/HttpGet.h"

#include <gtest/gtest.h>

#include <chrono>
#include <thread>

#include "tests/support/FakeHttpServer.h"

namespace qn {
namespace {

double secondsSince(std::chrono::steady_clock::time_point start) {
  return std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
}

TEST(HttpGet, ReadsStatusAndBody) {
  test::FakeHttpServer server;
  server.setReply({404, "missing", "text/plain"});
  const HttpResult result = httpGet(*loopbackURL(server.port(), "/api/health"), 1.2);
  EXPECT_EQ(result.kind, HttpResult::Kind::Response);
  EXPECT_EQ(result.status, 404);
  EXPECT_EQ(result.body, "missing");
  EXPECT_EQ(server.paths(), std::vector<std::string>{"/api/health"});
}

TEST(HttpGet, TellsRefusedFromTimedOut) {
  EXPECT_EQ(httpGet(*loopbackURL(test::unusedPort(), "/"), 1.2).kind, HttpResult::Kind::Refused);
  test::FakeHttpServer silent;
  silent.setSilent(true);
  const auto start = std::chrono::steady_clock::now();
  EXPECT_EQ(httpGet(*loopbackURL(silent.port(), "/"), 0.3).kind, HttpResult::Kind::TimedOut);
  EXPECT_GE(secondsSince(start), 0.25);
}

TEST(HttpGet, IgnoresProxySettings) {
  setenv("http_proxy", "http://127.0.0.1:9", 1);
  test::FakeHttpServer server;
  const HttpResult result = httpGet(*loopbackURL(server.port(), "/"), 1.2);
  unsetenv("http_proxy");
  EXPECT_EQ(result.kind, HttpResult::Kind::Response);
}

TEST(HttpGet, BoundedWaitGivesUpBeforeTheRequestDoes) {
  test::FakeHttpServer silent;
  silent.setSilent(true);
  const auto start = std::chrono::steady_clock::now();
  EXPECT_EQ(httpGetWithin(*loopbackURL(silent.port(), "/"), 0.6, 0.3), std::nullopt);
  EXPECT_LT(secondsSince(start), 0.55);
  // Let the abandoned request run out, so it does not outlive the test process.
  std::this_thread::sleep_for(std::chrono::milliseconds(700));
}

TEST(HttpGet, LoopbackURLNeedsAPortNumber) {
  EXPECT_EQ(loopbackURL(47681, "/api/health"), "http://127.0.0.1:47681/api/health");
  EXPECT_EQ(loopbackURL(0, "/"), "http://127.0.0.1:0/");
  EXPECT_EQ(loopbackURL(-1, "/"), std::nullopt);
  EXPECT_EQ(loopbackURL(65536, "/"), std::nullopt);
}

}  // namespace
}  // namespace qn
