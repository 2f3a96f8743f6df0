// GtkMainLoop: qn::MainLoop on GLib's default main context.
//   [x] post() from any thread, first in first out
//   [x] after() / every() at millisecond precision, cancellable handles
//   [x] now() from the monotonic clock
//   [x] run() / quit(), quit() before run() included
//   [ ] nested run() calls (the programs never nest; gtk_dialog_run nests its own loop)

#include "platform/gtk/GtkMainLoop.h"

#include <algorithm>
#include <cmath>
#include <memory>

namespace qn {
namespace {

using Call = std::function<void()>;

void deleteCall(gpointer data) {
  delete static_cast<Call*>(data);
}

gboolean runOnce(gpointer data) {
  (*static_cast<Call*>(data))();
  return G_SOURCE_REMOVE;
}

gboolean runRepeating(gpointer data) {
  (*static_cast<Call*>(data))();
  return G_SOURCE_CONTINUE;
}

guint toMilliseconds(double seconds) {
  return static_cast<guint>(std::llround(std::max(seconds, 0.0) * 1000.0));
}

// The timer keeps its own reference on the source, so cancelling after it fired, or twice, only
// touches a source that is still allocated; destroying a destroyed source does nothing.
Timer schedule(double seconds, GSourceFunc dispatch, Call fn) {
  GSource* raw = g_timeout_source_new(toMilliseconds(seconds));
  g_source_set_callback(raw, dispatch, new Call(std::move(fn)), deleteCall);
  g_source_attach(raw, nullptr);
  std::shared_ptr<GSource> source(raw, g_source_unref);
  return Timer([source] { g_source_destroy(source.get()); });
}

}  // namespace

GtkMainLoop::GtkMainLoop() : loop_(g_main_loop_new(nullptr, FALSE)) {}

GtkMainLoop::~GtkMainLoop() {
  g_main_loop_unref(loop_);
}

// One idle source per call: GLib attaches sources of equal priority in order and dispatches them
// in that order, which keeps posts first in first out. Attaching is thread-safe and wakes the loop.
void postToMainContext(std::function<void()> fn) {
  g_idle_add_full(G_PRIORITY_DEFAULT, runOnce, new Call(std::move(fn)), deleteCall);
}

void GtkMainLoop::post(std::function<void()> fn) {
  postToMainContext(std::move(fn));
}

Timer GtkMainLoop::after(double seconds, std::function<void()> fn) {
  return schedule(seconds, runOnce, std::move(fn));
}

// A GLib timeout computes its next expiry from the time it was dispatched, so missed ticks are
// dropped rather than made up.
Timer GtkMainLoop::every(double seconds, std::function<void()> fn) {
  return schedule(seconds, runRepeating, std::move(fn));
}

double GtkMainLoop::now() const {
  return static_cast<double>(g_get_monotonic_time()) / 1e6;
}

void GtkMainLoop::run() {
  if (quitRequested_) {
    quitRequested_ = false;
    return;
  }
  g_main_loop_run(loop_);
}

// GLib forgets a quit made while the loop is not running, so it is remembered for the next run().
void GtkMainLoop::quit() {
  if (g_main_loop_is_running(loop_)) {
    g_main_loop_quit(loop_);
  } else {
    quitRequested_ = true;
  }
}

}  // namespace qn
