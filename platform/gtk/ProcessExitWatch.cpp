// ProcessExitWatch: process ends, from pidfds on the GLib main loop.
//   [x] any process of this user's (not only children), without reading /proc in a loop
//   [x] bounded: at most kMaxWatched processes at a time
//   [ ] kernels before 5.3 have no pidfd_open: nothing is watched there

#include "platform/gtk/ProcessExitWatch.h"

#include <glib-unix.h>
#include <sys/syscall.h>
#include <unistd.h>

namespace qn {

ProcessExitWatch::~ProcessExitWatch() {
  for (const auto& [fd, pid] : pidsByFd_) {
    g_source_remove(sources_[pid]);
    ::close(fd);
  }
}

bool ProcessExitWatch::watch(pid_t pid) {
  if (pid <= 0 || sources_.count(pid) != 0 || sources_.size() >= kMaxWatched) return false;
  const int fd = int(::syscall(SYS_pidfd_open, pid, 0));
  if (fd < 0) return false;
  sources_[pid] =
      g_unix_fd_add(fd, G_IO_IN, reinterpret_cast<GUnixFDSourceFunc>(&onReadable), this);
  pidsByFd_[fd] = pid;
  return true;
}

// A pidfd becomes readable once its process has ended.
int ProcessExitWatch::onReadable(int fd, unsigned, void* self) {
  auto& watch = *static_cast<ProcessExitWatch*>(self);
  const pid_t pid = watch.pidsByFd_[fd];
  watch.pidsByFd_.erase(fd);
  watch.sources_.erase(pid);
  ::close(fd);
  watch.ended_(pid);
  return G_SOURCE_REMOVE;
}

}  // namespace qn
