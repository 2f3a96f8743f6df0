#include "shell/HealthProbe.h"

#include <gtest/gtest.h>

namespace qn {
namespace {

TEST(HealthProbe, ClassifiesEveryKindOfAnswer) {
  using Kind = HttpResult::Kind;
  struct Case {
    const char* name;
    std::optional<HttpResult> answer;
    HealthStatus expected;
  };
  const Case cases[] = {
      {"our service",
       HttpResult{Kind::Response, 200, R"({"product":"QUENTRA","v":1})"},
       {true, true}},
      {"other product", HttpResult{Kind::Response, 200, R"({"product":"OTHER"})"}, {false, true}},
      {"product not a string",
       HttpResult{Kind::Response, 200, R"({"product":["QUENTRA"]})"},
       {false, true}},
      {"array body", HttpResult{Kind::Response, 200, R"(["QUENTRA"])"}, {false, true}},
      {"html", HttpResult{Kind::Response, 200, "<html>hi</html>"}, {false, true}},
      {"empty body", HttpResult{Kind::Response, 200, ""}, {false, true}},
      {"not found", HttpResult{Kind::Response, 404, R"({"product":"QUENTRA"})"}, {false, false}},
      {"server error", HttpResult{Kind::Response, 500, ""}, {false, false}},
      {"refused", HttpResult{Kind::Refused, 0, ""}, {false, false}},
      {"timed out", HttpResult{Kind::TimedOut, 0, ""}, {false, true}},
      {"other error", HttpResult{Kind::Failed, 0, ""}, {false, true}},
      {"no completion", std::nullopt, {false, false}},
  };
  for (const Case& c : cases) EXPECT_EQ(classifyHealth(c.answer), c.expected) << c.name;
}

}  // namespace
}  // namespace qn
