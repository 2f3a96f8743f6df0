#pragma once

#include <regex>
#include <string>
#include <vector>

namespace qn {

// The process ids of the tmux servers of this socket, from "ps -axo pid=,ppid=,command=" output:
// a tmux whose parent is init, or which leads its own session (a subreaper may adopt the server),
// started with "-L <socket>" or "-L<socket>".
std::vector<std::string> tmuxServerIds(const std::vector<std::string>& psLines,
                                       const std::string& socket);

// Lines worth keeping when no server was found: those naming tmux, this product or the AI tools.
std::vector<std::string> tmuxContextLines(const std::vector<std::string>& psLines);

// The trace entry, ending in a line feed.
std::string tmuxTraceEntry(const std::string& isoTime, long shellPid, const std::string& label,
                           const std::string& socket, const std::vector<std::string>& psLines);

// Appends to the trace log, first moving a log over 524288 bytes to its ".1" name.
void appendTmuxTrace(const std::string& logsDirectory, const std::string& entry);

}  // namespace qn
