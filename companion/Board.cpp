#include <algorithm>
#include <set>

#include "companion/App.h"
#include "companion/Members.h"

namespace qn {

namespace {

// "tasks" counts only as an array whose every element is an object.
std::vector<Job> tasksOf(const nlohmann::json& command, bool zh) {
  std::vector<Job> list;
  const auto found = command.find("tasks");
  if (found == command.end() || !found->is_array()) return list;
  for (const auto& task : *found)
    if (!task.is_object()) return {};
  for (const auto& task : *found) list.push_back(makeJob(task, zh));
  return list;
}

}  // namespace

const Job* App::cur() const {
  return findJob(jobs, sel);
}

std::string App::cst() const {
  if (!options_.boardMode) return view ? view->state : "";
  const Job* job = cur();
  return job ? job->state : "";
}

bool App::ended() const {
  return isEndedState(cst());
}

bool App::parked() const {
  return isParkedState(cst());
}

void App::board(const nlohmann::json& command) {
  const auto prev = was;
  auto list = tasksOf(command, options_.zh);
  std::stable_sort(list.begin(), list.end(),
                   [](const Job& a, const Job& b) { return rank(a.state) < rank(b.state); });
  jobs = std::move(list);
  nRun = intMember(command, "running").value_or(0);
  nQueue = intMember(command, "queued").value_or(0);
  nHeld = intMember(command, "held").value_or(0);
  low = boolMember(command, "low").value_or(false);
  const auto* unlObject = objectMember(command, "unl");
  unl = unlObject ? std::optional<nlohmann::json>(*unlObject) : std::nullopt;

  // A repeated id keeps the state of its first listing, the one that sorts first.
  was.clear();
  for (const auto& job : jobs) was.emplace(job.id, job.state);

  if (options_.boardMode) {
    std::set<std::string> live;
    for (const auto& job : jobs)
      if (!isEndedState(job.state)) live.insert(job.id);
    std::erase_if(stills, [&](const auto& entry) { return !live.contains(entry.first); });
    if (!mirrorOn && !live.contains(mirrorId)) mv->img.reset();
  }

  const auto previous = [&](const std::string& id) -> std::optional<std::string> {
    const auto found = prev.find(id);
    return found == prev.end() ? std::nullopt : std::optional<std::string>(found->second);
  };
  std::vector<const Job*> changed;
  std::vector<const Job*> woke;
  for (const auto& job : jobs) {
    const auto before = previous(job.id);
    if (isAttentionState(job.state) && before != job.state) changed.push_back(&job);
    if (isActiveState(job.state) && !(before && isActiveState(*before))) woke.push_back(&job);
  }

  const int64_t newSeq = intMember(command, "fseq").value_or(-1);
  const std::string focus = stringMember(command, "focus").value_or("");
  const Job* selected = findJob(jobs, sel);
  const std::string selState = selected ? selected->state : "";
  bool pinNow = false;
  const auto human = std::find_if(changed.begin(), changed.end(),
                                  [](const Job* job) { return job->state == "human"; });
  if (human != changed.end()) {
    sel = (*human)->id;
  } else if (newSeq != fseq && !focus.empty() && focus != sel && selState != "human" &&
             findJob(jobs, focus) != nullptr) {
    sel = focus;
    pinNow = !isActiveState(selState);
  } else if (!woke.empty() && !isActiveState(selState) && woke.front()->id != sel) {
    sel = woke.front()->id;
    pinNow = true;
  } else if (findJob(jobs, sel) == nullptr) {
    sel = jobs.empty() ? "" : jobs.front().id;
  }
  fseq = newSeq;

  std::vector<const Job*> active;
  for (const auto& job : jobs)
    if (!isEndedState(job.state)) active.push_back(&job);
  view->state = jobs.empty() ? "starting" : jobs.front().state;
  view->multi = active.size() >= 2 ? std::optional(std::make_pair(nRun, nQueue)) : std::nullopt;
  const Job* current = cur();
  const Job* progress = active.size() == 1 ? active.front() : current;
  if (progress != nullptr) {
    view->done = progress->done;
    view->total = progress->total;
  }
  if (current != nullptr) {
    title = current->title;
    detail = current->detail;
    speed = current->speed;
    note = current->note;
    result = current->result;
  }
  view->shown =
      mirrorOn || std::any_of(jobs.begin(), jobs.end(), [](const Job& j) { return j.shown; });
  shown = current != nullptr && current->shown;
  redrawTab();

  if (mirrorOn && findJob(jobs, mirrorId) != nullptr) {
    mv->caption = mirrorCaption();
    mir->setNeedsDisplay();
  }

  if (!changed.empty()) {
    pin(8);
  } else if (pinNow) {
    pin(5);
  } else if (bubble->isVisible()) {
    bubbleShow(true);
  }
}

}  // namespace qn
