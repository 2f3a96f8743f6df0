#pragma once

#include <array>
#include <string>
#include <string_view>
#include <vector>

#include <nlohmann/json.hpp>

namespace qn {

// One job of a board.
struct Job {
  std::string id;
  std::string title;
  std::string state;
  int64_t done = 0;
  int64_t total = 0;
  std::string detail;
  std::string speed;
  std::string note;
  std::string result;
  bool shown = false;
  int64_t ahead = 0;
};

// Builds a job from one task object; with an English interface a non-empty "detail_en" wins.
Job makeJob(const nlohmann::json& task, bool zh);

// The states with meaning, in rank order.
inline constexpr std::array<std::string_view, 11> order = {
    "human",  "error", "running", "ai",   "starting", "yield",
    "paused", "held",  "queued",  "done", "stopped",
};

// The speed names, slowest first; the speed selector has one segment for each.
inline constexpr std::array<std::string_view, 4> speeds = {"slowest", "safe", "normal", "fast"};

// The position in order; any other state ranks with "yield".
int rank(std::string_view state);

bool isEndedState(std::string_view state);
bool isParkedState(std::string_view state);
bool isActiveState(std::string_view state);
// Entering one of these opens the bubble.
bool isAttentionState(std::string_view state);

// The status label for a state, empty for a state without one.
std::string statusLabel(std::string_view state, bool zh);

// The first job with the id, or null.
const Job* findJob(const std::vector<Job>& jobs, const std::string& id);

}  // namespace qn
