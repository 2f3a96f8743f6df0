#include "base/Url.h"

#include <gtest/gtest.h>

namespace qn {
namespace {

TEST(Url, SplitsTheGenericParts) {
  struct Case {
    const char* text;
    const char* scheme;
    std::optional<std::string> host;
    const char* path;
    std::optional<std::string> query;
  };
  const Case cases[] = {
      {"http://127.0.0.1:47681/", "http", "127.0.0.1", "/", std::nullopt},
      {"https://localhost/x?y=1#z", "https", "localhost", "/x", "y=1"},
      {"http://localhost.evil.com/", "http", "localhost.evil.com", "/", std::nullopt},
      {"http://127.0.0.1.evil.com/", "http", "127.0.0.1.evil.com", "/", std::nullopt},
      {"http://localhost@evil.com/", "http", "evil.com", "/", std::nullopt},
      {"http://127.0.0.1:80@evil.com/", "http", "evil.com", "/", std::nullopt},
      {"http://a@b@evil.com/", "http", "evil.com", "/", std::nullopt},
      {"http://evil.com/@127.0.0.1/", "http", "evil.com", "/@127.0.0.1/", std::nullopt},
      {"http://evil.com?@127.0.0.1/", "http", "evil.com", "", "@127.0.0.1/"},
      {"http://LOCALHOST/", "http", "LOCALHOST", "/", std::nullopt},
      {"http://[::1]:8080/p", "http", "[::1]", "/p", std::nullopt},
      {"file:///etc/passwd", "file", "", "/etc/passwd", std::nullopt},
      {"about:blank", "about", std::nullopt, "blank", std::nullopt},
      {"data:text/html,x", "data", std::nullopt, "text/html,x", std::nullopt},
      {"javascript:alert(1)", "javascript", std::nullopt, "alert(1)", std::nullopt},
      {"mailto:a@b.c", "mailto", std::nullopt, "a@b.c", std::nullopt},
      {"quentra://open-log/../x", "quentra", "open-log", "/../x", std::nullopt},
      {"QUENTRA://RETRY", "QUENTRA", "RETRY", "", std::nullopt},
      {"quentra://skills/ask?q=hi", "quentra", "skills", "/ask", "q=hi"},
      {"quentra:", "quentra", std::nullopt, "", std::nullopt},
  };
  for (const Case& c : cases) {
    const auto url = Url::parse(c.text);
    ASSERT_TRUE(url) << c.text;
    EXPECT_EQ(url->scheme, c.scheme) << c.text;
    EXPECT_EQ(url->host, c.host) << c.text;
    EXPECT_EQ(url->path, c.path) << c.text;
    EXPECT_EQ(url->query, c.query) << c.text;
  }
}

TEST(Url, RejectsTextWithoutAScheme) {
  for (const char* text : {"", "/relative/path", "127.0.0.1:80", "1http://x", ":x", "ht tp://x"}) {
    EXPECT_FALSE(Url::parse(text)) << text;
  }
}

TEST(Url, QueryItemsArePercentDecoded) {
  const auto url = *Url::parse("quentra://skills/ask?x=1&q=hello%20world%21&q=second&flag");
  EXPECT_EQ(url.queryItem("q"), "hello world!");
  EXPECT_EQ(url.queryItem("x"), "1");
  EXPECT_EQ(url.queryItem("flag"), std::nullopt) << "an item without a value";
  EXPECT_EQ(url.queryItem("missing"), std::nullopt);
  EXPECT_EQ(Url::parse("q://h/?q=a+b")->queryItem("q"), "a+b") << "plus is not a space here";
  EXPECT_EQ(Url::parse("q://h/?q=%E4%B8%AD%22")->queryItem("q"), "\xE4\xB8\xAD\"");
  EXPECT_EQ(Url::parse("q://h/?q=%zz")->queryItem("q"), std::nullopt);
  EXPECT_EQ(Url::parse("q://h/?q=%4")->queryItem("q"), std::nullopt);
  EXPECT_EQ(Url::parse("q://h/?%71=named")->queryItem("q"), "named");
}

}  // namespace
}  // namespace qn
