#include "shell/ShellLang.h"

#include <gtest/gtest.h>

#include "base/Files.h"
#include "tests/support/TestSupport.h"

namespace qn {
namespace {

class ShellLangTest : public ::testing::Test {
 protected:
  void SetUp() override {
    previousDir_ = ShellLang::dataDir();
    ShellLang::setDataDir(dir_.path());
  }
  void TearDown() override { ShellLang::setDataDir(previousDir_); }
  void writeUiLang(const std::string& text) { writeFileAtomically(dir_.file("ui_lang"), text); }

  test::TempDir dir_;
  std::string previousDir_;
  test::ScopedEnv lang_{"QUENTRA_LANG", std::nullopt};
  test::ScopedEnv language_{"LANGUAGE", std::nullopt};
  test::ScopedEnv lcAll_{"LC_ALL", std::nullopt};
  test::ScopedEnv lcMessages_{"LC_MESSAGES", std::nullopt};
  test::ScopedEnv lang2_{"LANG", std::nullopt};
};

TEST_F(ShellLangTest, EnvironmentThenFileThenSystem) {
  struct Case {
    const char* name;
    std::optional<std::string> quentraLang;
    std::optional<std::string> uiLang;
    std::optional<std::string> systemLang;
    bool isEn;
  };
  const Case cases[] = {
      {"variable beats the file", "en", "zh", "zh_CN.UTF-8", true},
      {"variable zh", "zh", "en", "en_US", false},
      {"upper-case variable ignored", "EN", "zh", std::nullopt, false},
      {"region-qualified variable ignored", "en-US", std::nullopt, "zh_CN", false},
      {"file with a line break", std::nullopt, "zh\n", "en_US", false},
      {"file with blanks", std::nullopt, "  en \r\n", "zh_CN", true},
      {"file with other content", std::nullopt, "fr", "zh_TW", false},
      {"Traditional Chinese for Taiwan", std::nullopt, std::nullopt, "zh_Hant_TW", false},
      {"English for China", std::nullopt, std::nullopt, "en_CN.UTF-8", true},
      {"upper-case system tag", std::nullopt, std::nullopt, "ZH_CN", false},
      {"no system language", std::nullopt, std::nullopt, std::nullopt, true},
      {"C locale", std::nullopt, std::nullopt, "C", true},
  };
  for (const Case& c : cases) {
    test::ScopedEnv lang("QUENTRA_LANG", c.quentraLang);
    test::ScopedEnv system("LANG", c.systemLang);
    removeFile(dir_.file("ui_lang"));
    if (c.uiLang) writeUiLang(*c.uiLang);
    EXPECT_EQ(ShellLang::isEn(), c.isEn) << c.name;
    EXPECT_EQ(ShellLang::t("中", "en"), c.isEn ? "en" : "中") << c.name;
  }
}

TEST_F(ShellLangTest, FileChangesTakeEffectAtTheNextText) {
  writeUiLang("en");
  EXPECT_TRUE(ShellLang::isEn());
  writeUiLang("zh");
  EXPECT_FALSE(ShellLang::isEn());
}

TEST_F(ShellLangTest, UnreadableFileFallsThrough) {
  test::ScopedEnv system("LANG", "zh_CN.UTF-8");
  writeUiLang(
      "\xFF\xFE"
      "en");
  EXPECT_FALSE(ShellLang::isEn());
  removeFile(dir_.file("ui_lang"));
  createDirectories(dir_.file("ui_lang"));
  EXPECT_FALSE(ShellLang::isEn());
}

}  // namespace
}  // namespace qn
