// The companion's composition root: options, the desktop backend, the one App, the reader.
#include <signal.h>
#include <unistd.h>

#include <cerrno>
#include <cstdio>
#include <memory>
#include <string_view>
#include <thread>

#include "base/Environment.h"
#include "base/Files.h"
#include "base/Processes.h"
#include "companion/App.h"
#include "companion/LineReader.h"
#include "companion/Options.h"
#include "platform/gtk/GtkCompanionBackend.h"

namespace {

// One event is one line, written whole: partial writes are continued, and a parent that is gone
// (EPIPE) loses the line without ending the companion.
void writeLine(std::string_view line) {
  qn::writeAll(STDOUT_FILENO, line);
}

}  // namespace

int main(int argc, char** argv) {
  ::signal(SIGPIPE, SIG_IGN);
  qn::CompanionOptions options = qn::parseOptions(qn::processArguments());
  options.panelPids = qn::chain(options.anchors, ::getpid(), qn::parentProcessId);
  options.zh = qn::chineseInterface(qn::Environment::current());

  qn::GtkCompanionBackend backend;
  if (!backend.init(argc, argv)) {
    std::fprintf(stderr, "brinket needs a graphical display (DISPLAY is not usable).\n");
    return 1;
  }
  auto app = std::make_shared<qn::App>(
      qn::CompanionPorts{backend.loop(), backend.panels(), backend.screens(), backend.windowList(),
                         backend.workspace(), backend.accessibility(), backend.inputTiming(),
                         backend.keyPoster(), backend.windowCapture(), backend.sound(), writeLine,
                         [] { std::_Exit(0); }},
      std::move(options));
  const std::weak_ptr<qn::App> weak = app;
  backend.loop().post([app] { app->applicationDidFinishLaunching(); });
  std::thread([&backend, weak] {
    qn::readCommands(
        STDIN_FILENO, backend.loop(),
        [weak](nlohmann::json command) {
          if (const auto controller = weak.lock()) controller->handle(command);
        },
        [weak] {
          if (const auto controller = weak.lock()) {
            controller->orphan();
          } else {
            std::_Exit(0);
          }
        });
  }).detach();
  backend.loop().run();
  std::_Exit(0);
}
