#include "shell/ErrorPage.h"

#include <gtest/gtest.h>

namespace qn {
namespace {

TEST(ErrorPage, EscapesInOrderAndKeepsQuotes) {
  EXPECT_EQ(escapeErrorMessage("a<b>&c\nd \"q\" 'r'\r"), "a&lt;b&gt;&amp;c<br>d \"q\" 'r'\r");
  // "&" goes first, so entities are not escaped twice.
  EXPECT_EQ(escapeErrorMessage("&lt;"), "&amp;lt;");
  EXPECT_EQ(escapeErrorMessage("\n\n"), "<br><br>");
}

TEST(ErrorPage, EnglishDocumentPiecesAreExact) {
  const std::string document = errorPageDocument("missing:\n/x/<node>", true);
  EXPECT_TRUE(document.starts_with(
      "<!DOCTYPE html>\n<html lang=\"en\">\n<head>\n  <meta charset=\"utf-8\">\n"
      "  <title>QUENTRA - Service failed to start</title>"));
  EXPECT_TRUE(document.ends_with(
      "<h2>QUENTRA's service didn't start</h2>\n    <p>missing:<br>/x/&lt;node&gt;</p>\n"
      "    <div>\n      <a href=\"quentra://open-log\" class=\"btn btn-primary\">Open Log</a>\n"
      "      <a href=\"quentra://retry\" class=\"btn btn-sec\">Retry</a>\n    </div>\n  </div>\n"
      "</body>\n</html>"));
  EXPECT_NE(
      document.find("<div class=\"card\">\n    <div class=\"icon\">\xE2\x9A\xA0\xEF\xB8\x8F</div>"),
      std::string::npos);
}

TEST(ErrorPage, ChineseDocumentUsesChineseTexts) {
  const std::string document = errorPageDocument("服务启动超时", false);
  EXPECT_TRUE(document.starts_with("<!DOCTYPE html>\n<html lang=\"zh-CN\">"));
  for (const char* text :
       {"<title>QUENTRA - 服务启动异常</title>", "<h2>QUENTRA 服务未能正常启动</h2>",
        "<p>服务启动超时</p>", ">打开日志</a>", ">重试</a>"}) {
    EXPECT_NE(document.find(text), std::string::npos) << text;
  }
  EXPECT_EQ(document.find("Retry"), std::string::npos);
}

TEST(ErrorPage, StyleSheetHoldsEveryRuleInOrder) {
  const std::string document = errorPageDocument("", true);
  const char* rules[] = {
      "body { margin: 0; padding: 0; background: #1c1c1e; color: #fff; font-family: -apple-system, "
      "BlinkMacSystemFont, \"Segoe UI\", Roboto, sans-serif; display: flex; align-items: center; "
      "justify-content: center; height: 100vh; }",
      ".card { max-width: 500px; padding: 36px 32px; background: rgba(255,255,255,0.04); border: "
      "0.5px solid rgba(255,255,255,0.12); border-radius: 16px; text-align: center; box-shadow: 0 "
      "20px 40px rgba(0,0,0,0.5); }",
      ".icon { font-size: 48px; margin-bottom: 16px; }",
      "h2 { font-size: 20px; margin: 0 0 12px 0; }",
      "p { font-size: 13.5px; color: #8e8e93; line-height: 1.5; margin: 0 0 24px 0; }",
      ".btn { padding: 9px 18px; border-radius: 8px; font-size: 13px; font-weight: 600; border: "
      "none; cursor: pointer; text-decoration: none; display: inline-block; }",
      ".btn-primary { background: #0a84ff; color: #fff; margin-right: 10px; }",
      ".btn-sec { background: rgba(255,255,255,0.1); color: #fff; }",
  };
  size_t at = 0;
  for (const char* rule : rules) {
    const size_t found = document.find(rule, at);
    ASSERT_NE(found, std::string::npos) << rule;
    at = found;
  }
}

}  // namespace
}  // namespace qn
