#include "companion/Job.h"

#include <algorithm>
#include <initializer_list>

#include "companion/Members.h"

namespace qn {

Job makeJob(const nlohmann::json& task, bool zh) {
  Job job;
  job.id = stringMember(task, "id").value_or("");
  job.title = stringMember(task, "title").value_or("");
  job.state = stringMember(task, "state").value_or("");
  job.done = intMember(task, "done").value_or(0);
  job.total = intMember(task, "total").value_or(0);
  job.detail = stringMember(task, "detail").value_or("");
  if (!zh) {
    const auto english = stringMember(task, "detail_en").value_or("");
    if (!english.empty()) job.detail = english;
  }
  job.speed = stringMember(task, "speed").value_or("");
  job.note = stringMember(task, "note").value_or("");
  job.result = stringMember(task, "result").value_or("");
  job.shown = boolMember(task, "shown").value_or(false);
  job.ahead = intMember(task, "ahead").value_or(0);
  return job;
}

int rank(std::string_view state) {
  const auto found = std::find(order.begin(), order.end(), state);
  return found == order.end() ? 5 : static_cast<int>(found - order.begin());
}

namespace {

bool oneOf(std::string_view state, std::initializer_list<std::string_view> states) {
  return std::find(states.begin(), states.end(), state) != states.end();
}

}  // namespace

bool isEndedState(std::string_view state) {
  return oneOf(state, {"done", "error", "stopped"});
}

bool isParkedState(std::string_view state) {
  return oneOf(state, {"queued", "held"});
}

bool isActiveState(std::string_view state) {
  return oneOf(state, {"running", "ai", "starting", "human", "paused", "yield"});
}

bool isAttentionState(std::string_view state) {
  return oneOf(state, {"human", "done", "error", "stopped", "held"});
}

std::string statusLabel(std::string_view state, bool zh) {
  struct Label {
    std::string_view state, zh, en;
  };
  static constexpr Label labels[] = {
      {"human", "需要你处理", "Needs you"},
      {"error", "出错了", "Error"},
      {"running", "在屏幕外干活", "Working off-screen"},
      {"ai", "正在等 AI 认路", "Waiting for AI"},
      {"starting", "正在启动", "Starting"},
      {"yield", "你在操作，我先等着", "Waiting while you work"},
      {"paused", "已暂停", "Paused"},
      {"held", "停在原地", "On hold"},
      {"queued", "排队中", "Queued"},
      {"done", "完成", "Done"},
      {"stopped", "已停止", "Stopped"},
  };
  for (const auto& label : labels)
    if (label.state == state) return std::string(zh ? label.zh : label.en);
  return "";
}

const Job* findJob(const std::vector<Job>& jobs, const std::string& id) {
  const auto found =
      std::find_if(jobs.begin(), jobs.end(), [&](const Job& j) { return j.id == id; });
  return found == jobs.end() ? nullptr : &*found;
}

}  // namespace qn
