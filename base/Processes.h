#pragma once

#include <sys/types.h>

#include <optional>
#include <string>
#include <vector>

namespace qn {

// True when a live process has this id. A zombie (ended, not yet reaped by its parent) counts as
// gone: it will never act again.
bool processExists(pid_t pid);

// Sends sig; false when the process is gone or may not be signalled.
bool signalProcess(pid_t pid, int sig);

// When the process started, in clock ticks since boot (field 22 of /proc/<pid>/stat).
std::optional<unsigned long long> processStartTime(pid_t pid);

// The parent's id (field 4 of /proc/<pid>/stat).
std::optional<pid_t> parentProcessId(pid_t pid);

// Runs "/bin/ps" with the arguments and returns its standard output as UTF-8 text (empty when it
// is not valid UTF-8), or none when it could not be started.
std::optional<std::string> runPs(const std::vector<std::string>& arguments);

// Sleeps the calling thread.
void sleepSeconds(double seconds);

}  // namespace qn
