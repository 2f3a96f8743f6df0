#include "base/SignalWatch.h"

#include <fcntl.h>
#include <signal.h>
#include <unistd.h>

#include <cerrno>
#include <thread>

namespace qn {

namespace {

int signalPipe[2] = {-1, -1};

void forwardSignal(int sig) {
  const int savedErrno = errno;
  const unsigned char byte = static_cast<unsigned char>(sig);
  [[maybe_unused]] const ssize_t written = ::write(signalPipe[1], &byte, 1);
  errno = savedErrno;
}

}  // namespace

void watchTerminationSignals(std::function<void(int signal)> onSignal) {
  if (::pipe2(signalPipe, O_CLOEXEC) != 0) return;
  std::thread([onSignal = std::move(onSignal)] {
    while (true) {
      unsigned char byte = 0;
      const ssize_t n = ::read(signalPipe[0], &byte, 1);
      if (n < 0 && errno == EINTR) continue;
      if (n <= 0) return;
      onSignal(byte);
    }
  }).detach();
  struct sigaction action {};
  action.sa_handler = forwardSignal;
  action.sa_flags = SA_RESTART;
  sigemptyset(&action.sa_mask);
  for (int sig : {SIGTERM, SIGINT, SIGHUP}) ::sigaction(sig, &action, nullptr);
}

}  // namespace qn
