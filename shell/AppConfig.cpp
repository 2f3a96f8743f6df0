#include "shell/AppConfig.h"

#include <optional>

#include "base/Decimal.h"
#include "base/Paths.h"

namespace qn {

std::string AppConfig::defaultDataDir() {
  return expandTilde("~/Library/Application Support/QUENTRA");
}

AppConfig AppConfig::parse() {
  return parse(Environment::current(), processArguments());
}

AppConfig AppConfig::parse(const Environment& environment,
                           const std::vector<std::string>& arguments) {
  AppConfig config;
  if (const auto value = environment.get("QUENTRA_PORT")) {
    config.port = parseInt64(*value).value_or(47681);
  }
  if (const auto value = environment.get("QUENTRA_TTYD_PORT")) {
    config.ttydPort = parseInt64(*value).value_or(47682);
  }
  if (const auto value = environment.get("QUENTRA_DATA_DIR")) config.dataDir = expandTilde(*value);
  if (const auto value = environment.get("QUENTRA_TMUX_SOCKET")) config.tmuxSocket = *value;

  for (size_t i = 0; i < arguments.size(); ++i) {
    const std::string& option = arguments[i];
    const bool hasValue = i + 1 < arguments.size();
    if (!hasValue) continue;
    const std::string& value = arguments[i + 1];
    if (option == "--port" || option == "-p") {
      config.port = parseInt64(value).value_or(config.port);
    } else if (option == "--ttyd-port") {
      config.ttydPort = parseInt64(value).value_or(config.ttydPort);
    } else if (option == "--data-dir" || option == "-d") {
      config.dataDir = expandTilde(value);
    } else if (option == "--socket" || option == "-s") {
      config.tmuxSocket = value;
    } else {
      continue;
    }
    ++i;  // the value is consumed even when it does not parse
  }

  // Repairs the default path cut at its space, as happens when it is passed unquoted.
  if (standardizePath(config.dataDir) == expandTilde("~/Library/Application")) {
    config.dataDir = defaultDataDir();
  }
  return config;
}

}  // namespace qn
