#pragma once

#include <string>

namespace qn {

// The shell's interface language, decided afresh at every text it shows.
class ShellLang {
 public:
  ShellLang() = delete;

  // Where the "ui_lang" file is looked up; the default data directory until the launch sets it.
  static std::string dataDir();
  static void setDataDir(std::string directory);

  // QUENTRA_LANG, then the "ui_lang" file, then the system's first preferred language.
  static bool isEn();
  // Chinese first, English second.
  static std::string t(const std::string& zh, const std::string& en) { return isEn() ? en : zh; }
};

}  // namespace qn
