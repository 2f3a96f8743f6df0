// The shell's composition root: the desktop backend, the one AppDelegate, the main loop.
#include <signal.h>

#include <atomic>
#include <cstdio>
#include <memory>

#include "base/Environment.h"
#include "base/SignalWatch.h"
#include "platform/gtk/GtkBackend.h"
#include "shell/AppDelegate.h"

int main(int argc, char** argv) {
  ::signal(SIGPIPE, SIG_IGN);
  std::atomic<qn::MainLoop*> loop{nullptr};
  std::weak_ptr<qn::AppDelegate> running;
  qn::watchTerminationSignals([&loop, &running](int) {
    // A termination signal is a quit the system asks for: no question, the service is stopped.
    qn::MainLoop* current = loop.load();
    if (current == nullptr) std::_Exit(0);
    current->post([&running] {
      if (const auto delegate = running.lock())
        delegate->terminate(qn::AppDelegate::QuitReason::System);
    });
  });

  qn::GtkBackend backend;
  if (!backend.init(argc, argv)) {
    std::fprintf(stderr, "QUENTRA needs a graphical display (DISPLAY is not usable).\n");
    return 1;
  }
  auto delegate = std::make_shared<qn::AppDelegate>(
      qn::ShellPorts{backend.loop(), backend.windows(), backend.alerts(), backend.speech(),
                     [](int status) {
                       std::fflush(stdout);
                       std::_Exit(status);
                     }},
      qn::LaunchContext{qn::Bundle::main(), qn::Environment::current(), qn::processArguments()});
  running = delegate;
  loop = &backend.loop();
  backend.loop().post([delegate] { delegate->applicationDidFinishLaunching(); });
  backend.loop().run();
  // The application ends here, as a terminated application does: at once, without tearing down
  // the windows and the web engine, while waiter and probe threads may still be running.
  std::fflush(stdout);
  std::_Exit(0);
}
