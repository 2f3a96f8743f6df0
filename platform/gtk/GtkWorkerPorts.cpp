// GtkWorkerPorts: the worker window's ports on this desktop, not reached yet.
//   [ ] accessibility (AT-SPI): answers untrusted, so window management stays inert
//   [ ] input timing (XInput2): answers that no input was seen
//   [ ] key posting to another process: nothing is delivered
//   [ ] window listing and capture: answers none, so the shield shows no picture
//   [x] key pacing: sleeps the calling thread

#include "platform/gtk/GtkWorkerPorts.h"

#include <unistd.h>

#include <limits>

namespace qn {

double GtkInputTiming::secondsSinceLastEvent(InputSourceState, InputEventType) {
  return std::numeric_limits<double>::max();
}

void GtkKeyPoster::pause(double seconds) {
  if (seconds > 0) ::usleep(useconds_t(seconds * 1e6));
}

void GtkWindowCapture::shareableWindows(
    std::function<void(std::optional<std::vector<ShareableWindow>>)> done) {
  loop_.post([done = std::move(done)] { done(std::nullopt); });
}

void GtkWindowCapture::captureWindow(const ShareableWindow&, int, int,
                                     std::function<void(ImageRef)> done) {
  loop_.post([done = std::move(done)] { done(nullptr); });
}

}  // namespace qn
