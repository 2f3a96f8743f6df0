#include "shell/ShellLang.h"

#include <mutex>

#include "base/Environment.h"
#include "base/Files.h"
#include "base/Paths.h"
#include "base/Text.h"
#include "shell/AppConfig.h"

namespace qn {

namespace {

std::mutex& dataDirMutex() {
  static std::mutex mutex;
  return mutex;
}

std::string& storedDataDir() {
  static std::string directory = AppConfig::defaultDataDir();
  return directory;
}

}  // namespace

std::string ShellLang::dataDir() {
  std::lock_guard lock(dataDirMutex());
  return storedDataDir();
}

void ShellLang::setDataDir(std::string directory) {
  std::lock_guard lock(dataDirMutex());
  storedDataDir() = std::move(directory);
}

bool ShellLang::isEn() {
  const Environment environment = Environment::current();
  if (const auto lang = environment.get("QUENTRA_LANG")) {
    if (*lang == "en") return true;
    if (*lang == "zh") return false;
  }
  if (const auto file = readUtf8File(appendPath(dataDir(), "ui_lang"))) {
    const std::string choice = trimWhitespace(*file);
    if (choice == "en") return true;
    if (choice == "zh") return false;
  }
  const auto languages = preferredLanguages(environment);
  const std::string first = languages.empty() ? "en" : toLowerAscii(languages.front());
  return !startsWith(first, "zh");
}

}  // namespace qn
