#include "companion/App.h"

namespace qn {

// The tab's context menu, built fresh for every right click from the current state.
void App::menu(Point at) {
  std::vector<MenuItem> items;
  const auto add = [&](const std::string& title, const std::string& key) {
    MenuItem entry;
    entry.title = title;
    entry.action = weakly([key](App& app) { app.item(key); });
    items.push_back(std::move(entry));
  };

  const Job* current = cur();
  if (options_.boardMode && jobs.size() >= 2 && current != nullptr) {
    MenuItem heading;
    heading.title = current->title;
    heading.enabled = false;
    items.push_back(std::move(heading));
  }

  const std::string st = cst();
  if (ended()) {
    if (!result.empty()) add(T("打开结果", "Open results"), "open");
    add(T("关闭", "Close"), "close");
  } else if (parked()) {
    if (st == "held") add(T("继续", "Resume"), "resume");
    add(st == "queued" ? T("不排了", "Cancel") : T("停止任务", "Stop"), "stop");
  } else {
    MenuItem window;
    if (st == "human") {
      window.title = shown ? T("收起窗口", "Hide window")
                           : T("我来处理（拿出真窗口）", "I'll handle it (show the window)");
    } else {
      window.title = shown || mirrorOn ? T("收起画面", "Hide") : T("看画面（只能看）", "Live view");
    }
    window.action = weakly([](App& app) { app.tog(); });
    items.push_back(std::move(window));
    if (st == "paused") {
      add(T("继续", "Resume"), "resume");
    } else {
      add(T("暂停", "Pause"), "pause");
    }
    if (!shown && (st == "running" || st == "paused" || st == "yield"))
      add(T("我自己来（AI 先停）", "Take over (pause AI)"), "take");
    MenuItem separator;
    separator.separator = true;
    items.push_back(std::move(separator));
    add(T("停止任务", "Stop"), "stop");
  }
  ports_.panels.popUpMenu(items, at);
}

}  // namespace qn
