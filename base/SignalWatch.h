#pragma once

#include <functional>

namespace qn {

// Delivers SIGTERM, SIGINT and SIGHUP to onSignal on a thread of its own instead of interrupting
// whatever runs. The handler only writes the signal number to a pipe, so it is safe whichever
// thread the signal lands on. Call it once.
void watchTerminationSignals(std::function<void(int signal)> onSignal);

}  // namespace qn
