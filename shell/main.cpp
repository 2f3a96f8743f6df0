// The shell's composition root: the desktop backend, the one AppDelegate, the main loop.
#include <signal.h>

#include <atomic>
#include <cstdio>
#include <memory>

#include "base/Environment.h"
#include "base/SignalWatch.h"
#include "platform/gtk/GtkBackend.h"
#include "shell/AppDelegate.h"
#include "shell/SingleInstance.h"

int main(int argc, char** argv) {
  ::signal(SIGPIPE, SIG_IGN);
  const qn::Environment environment = qn::Environment::current();
  const std::vector<std::string> arguments = qn::processArguments();
  qn::GtkBackend backend;
  // Touched on the main loop only, where the posted calls below run.
  std::weak_ptr<qn::AppDelegate> running;

  // One shell per data directory: a second one hands its URLs over and ends here.
  const std::vector<std::string> urls = qn::SingleInstance::urlArguments(arguments);
  const auto instance =
      qn::SingleInstance::claim(qn::AppConfig::parse(environment, arguments).dataDir, urls,
                                [&backend, &running](std::vector<std::string> handed) {
                                  backend.loop().post([&running, handed = std::move(handed)] {
                                    const auto delegate = running.lock();
                                    if (!delegate) return;
                                    if (handed.empty()) {
                                      delegate->showMainWindow();
                                    } else {
                                      delegate->openURLs(handed);
                                    }
                                  });
                                });
  if (!instance) return 0;

  // A termination signal or the end of the desktop session is a quit the system asks for: no
  // question, the service is stopped. Runs on the main thread.
  const auto systemQuit = [&running] {
    const auto delegate = running.lock();
    if (!delegate) return;
    delegate->terminate(qn::AppDelegate::QuitReason::System);
    // An alert on screen runs a loop of its own inside the main one; the quit does not wait for
    // someone to answer it.
    if (delegate->hasTerminated()) {
      std::fflush(stdout);
      std::_Exit(0);
    }
  };
  std::atomic<bool> loopRunning{false};
  qn::watchTerminationSignals([&](int) {
    if (!loopRunning) std::_Exit(0);
    backend.loop().post(systemQuit);
  });

  if (!backend.init(argc, argv)) {
    std::fprintf(stderr, "QUENTRA needs a graphical display (DISPLAY is not usable).\n");
    return 1;
  }
  auto delegate = std::make_shared<qn::AppDelegate>(
      qn::ShellPorts{backend.loop(), backend.windows(), backend.alerts(), backend.dialogs(),
                     backend.opener(), backend.speech(),
                     [](int status) {
                       std::fflush(stdout);
                       std::_Exit(status);
                     },
                     backend.system()},
      qn::LaunchContext{qn::Bundle::main(), environment, arguments});
  running = delegate;
  backend.session().watchEnd(systemQuit);
  backend.loop().post([delegate, urls] {
    delegate->applicationDidFinishLaunching();
    if (!urls.empty()) delegate->openURLs(urls);
  });
  loopRunning = true;
  backend.loop().run();
  // The application ends here, as a terminated application does: at once, without tearing down
  // the windows and the web engine, while waiter and probe threads may still be running.
  std::fflush(stdout);
  std::_Exit(0);
}
