#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "base/Environment.h"

namespace qn {

// The shell's four settings, from defaults, the environment and the command line.
struct AppConfig {
  int64_t port = 47681;
  int64_t ttydPort = 47682;
  std::string dataDir = defaultDataDir();
  std::string tmuxSocket = "quentra";

  AppConfig() = default;
  explicit AppConfig(std::string dataDir, int64_t port = 47681, int64_t ttydPort = 47682,
                     std::string tmuxSocket = "quentra")
      : port(port),
        ttydPort(ttydPort),
        dataDir(std::move(dataDir)),
        tmuxSocket(std::move(tmuxSocket)) {}

  // "~/Library/Application Support/QUENTRA" with the tilde expanded, computed on every call.
  static std::string defaultDataDir();

  // Command line over environment over defaults. Never fails.
  static AppConfig parse();
  static AppConfig parse(const Environment& environment, const std::vector<std::string>& arguments);
};

}  // namespace qn
