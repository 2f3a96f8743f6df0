#pragma once

#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "platform/sim/SimAlerts.h"
#include "platform/sim/SimDesktopServices.h"
#include "platform/sim/SimMainLoop.h"
#include "platform/sim/SimSpeech.h"
#include "platform/sim/SimSystemCommands.h"
#include "platform/sim/SimWindows.h"
#include "shell/AppDelegate.h"

namespace qn::test {

// A shell on the simulated desktop. Processes, files and HTTP stay real.
struct SimShell {
  SimMainLoop loop;
  SimWindows windows;
  SimAlerts alerts;
  SimDialogs dialogs;
  SimOpener opener;
  SimSpeech speech;
  SimSystemCommands system;
  std::optional<int> exitStatus;
  std::shared_ptr<AppDelegate> delegate;

  SimShell(const std::string& executable, std::vector<std::string> arguments,
           Environment environment = Environment::current())
      : delegate(std::make_shared<AppDelegate>(
            ShellPorts{loop, windows, alerts, dialogs, opener, speech,
                       [this](int status) {
                         exitStatus = status;
                         loop.quit();
                       },
                       system},
            LaunchContext{Bundle::forExecutable(executable), std::move(environment),
                          std::move(arguments)})) {}
  ~SimShell() { delegate.reset(); }

  SimWebView& webView() { return *windows.created.at(0)->webView; }
};

}  // namespace qn::test
