#pragma once

#include <string_view>

namespace qn {

// Writes one diagnostic line to standard output in a single write and flushes it, so lines from
// different threads never interleave.
void logLine(std::string_view line);

}  // namespace qn

namespace qn {

// Writes one line to the system log (standard error, where the session's journal collects it).
void logSystemLine(std::string_view line);

}  // namespace qn
