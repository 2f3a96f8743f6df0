#include "shell/ErrorPage.h"

namespace qn {

namespace {

void replaceAll(std::string& text, const std::string& from, const std::string& to) {
  for (size_t at = text.find(from); at != std::string::npos; at = text.find(from, at + to.size())) {
    text.replace(at, from.size(), to);
  }
}

constexpr const char* styleSheet =
    "\n  <style>\n"
    "    body { margin: 0; padding: 0; background: #1c1c1e; color: #fff; font-family: "
    "-apple-system, BlinkMacSystemFont, \"Segoe UI\", Roboto, sans-serif; display: flex; "
    "align-items: center; justify-content: center; height: 100vh; }\n"
    "    .card { max-width: 500px; padding: 36px 32px; background: rgba(255,255,255,0.04); "
    "border: 0.5px solid rgba(255,255,255,0.12); border-radius: 16px; text-align: center; "
    "box-shadow: 0 20px 40px rgba(0,0,0,0.5); }\n"
    "    .icon { font-size: 48px; margin-bottom: 16px; }\n"
    "    h2 { font-size: 20px; margin: 0 0 12px 0; }\n"
    "    p { font-size: 13.5px; color: #8e8e93; line-height: 1.5; margin: 0 0 24px 0; }\n"
    "    .btn { padding: 9px 18px; border-radius: 8px; font-size: 13px; font-weight: 600; border: "
    "none; cursor: pointer; text-decoration: none; display: inline-block; }\n"
    "    .btn-primary { background: #0a84ff; color: #fff; margin-right: 10px; }\n"
    "    .btn-sec { background: rgba(255,255,255,0.1); color: #fff; }\n"
    "  </style>\n"
    "</head>\n"
    "<body>\n"
    "  <div class=\"card\">\n"
    "    <div class=\"icon\">\u26A0\uFE0F</div>\n"
    "    <h2>";

}  // namespace

std::string escapeErrorMessage(const std::string& message) {
  std::string escaped = message;
  replaceAll(escaped, "&", "&amp;");
  replaceAll(escaped, "<", "&lt;");
  replaceAll(escaped, ">", "&gt;");
  replaceAll(escaped, "\n", "<br>");
  return escaped;
}

std::string errorPageDocument(const std::string& message, bool isEn) {
  const auto t = [isEn](const char* zh, const char* en) { return std::string(isEn ? en : zh); };
  std::string document = "<!DOCTYPE html>\n<html lang=\"";
  document += isEn ? "en" : "zh-CN";
  document += "\">\n<head>\n  <meta charset=\"utf-8\">\n  <title>QUENTRA - ";
  document += t("服务启动异常", "Service failed to start");
  document += "</title>";
  document += styleSheet;
  document += t("QUENTRA 服务未能正常启动", "QUENTRA's service didn't start");
  document += "</h2>\n    <p>";
  document += escapeErrorMessage(message);
  document += "</p>\n    <div>\n      <a href=\"quentra://open-log\" class=\"btn btn-primary\">";
  document += t("打开日志", "Open Log");
  document += "</a>\n      <a href=\"quentra://retry\" class=\"btn btn-sec\">";
  document += t("重试", "Retry");
  document += "</a>\n    </div>\n  </div>\n</body>\n</html>";
  return document;
}

}  // namespace qn
