#pragma once

#include <string_view>

namespace qn {

// Writes one diagnostic line to standard output in a single write and flushes it, so lines from
// different threads never interleave.
void logLine(std::string_view line);

}  // namespace qn
