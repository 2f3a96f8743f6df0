#include <algorithm>

#include "base/Text.h"
#include "companion/App.h"
#include "companion/Members.h"
#include "companion/views/Colors.h"

namespace qn {

namespace {

constexpr double kLabelMaxHeight = 300;

// Shows a label with text at the running position, as high as its text needs for the width.
void placeLabel(Label& label, double w, double& y) {
  label.setHidden(label.text().empty());
  if (label.isHidden()) return;
  const double height = label.heightForWidth(w, kLabelMaxHeight);
  label.setFrame(Rect{{14, y}, {w, height}});
  y += height + 5;
}

// Another value shows "safe".
int speedIndex(const std::string& speed) {
  const auto found = std::find(speeds.begin(), speeds.end(), speed);
  return found == speeds.end() ? 1 : int(found - speeds.begin());
}

// The share of the bar that is filled; senseless numbers fill nothing or everything.
double filled(int64_t done, int64_t total) {
  return std::clamp(double(std::min(done, total)) / double(total), 0.0, 1.0);
}

}  // namespace

// The jobs the list shows: the first seven, with the selected job in the last row when it is
// not among them.
std::vector<Job> App::listRows() const {
  constexpr size_t kRows = 7;
  std::vector<Job> rows(jobs.begin(), jobs.begin() + std::min(jobs.size(), kRows));
  const Job* current = cur();
  if (current != nullptr && rows.size() == kRows &&
      std::none_of(rows.begin(), rows.end(), [&](const Job& j) { return j.id == sel; }))
    rows.back() = *current;
  return rows;
}

std::string App::countsLine(bool listShown) const {
  std::vector<std::string> parts;
  if (nRun >= 2 || (nRun >= 1 && listShown))
    parts.push_back(options_.zh ? "同时 " + std::to_string(nRun) + " 个"
                                : std::to_string(nRun) + " running");
  if (nQueue >= 1)
    parts.push_back(options_.zh ? "排队 " + std::to_string(nQueue) + " 个"
                                : std::to_string(nQueue) + " queued");
  if (nHeld >= 1)
    parts.push_back(options_.zh ? "停住 " + std::to_string(nHeld) + " 个"
                                : std::to_string(nHeld) + " on hold");
  if (low) parts.push_back(T("内存紧张，先少开几个", "low memory"));
  return join(parts, " · ");
}

std::string App::fastWarning() const {
  return T(
      "快：约 90 家/小时。打开太密，1688 很快会弹滑块；频繁验证可能被限制搜索或要求重新登录。"
      "只建议备用号、量少时短时间用。确定要调快吗？",
      "Fast: about 90/hour. Pages open close together, so 1688 soon shows a slider; frequent "
      "checks can get searches restricted or ask you to sign in again. Only for a spare account, "
      "a few companies, for a short time. Go faster anyway?");
}

// Beside the tab, level with its middle as far as the visible frame allows; the top wins over
// the bottom when the bubble is taller than the frame.
void App::placeBubble(double W, double h) {
  const Rect P = panel->frame();
  const double x = edgeLeft ? P.origin.x + P.size.width + 2 : P.origin.x - W - 2;
  double y0 = P.origin.y + P.size.height / 2 - h / 2;
  if (const auto s = here()) {
    const Rect& V = s->visibleFrame;
    y0 = std::max(y0, V.origin.y + 6);
    y0 = std::min(y0, V.origin.y + V.size.height - h - 6);
  }
  bubble->setFrame(Rect{{x, y0}, {W, h}});
  bubble->setNeedsDisplay();
}

// The buttons of the row, with their titles for the state.
std::vector<Button*> App::buttonRow() {
  const std::string st = cst();
  if (st == "human") {
    bView->setTitle(shown ? T("收起窗口", "Hide window") : T("我来处理", "I'll handle it"));
  } else {
    const bool hiding = shown || (mirrorOn && (!options_.boardMode || mirrorId == sel));
    bView->setTitle(hiding ? T("收起画面", "Hide") : T("看画面", "View"));
  }
  bPause->setTitle(st == "paused" || st == "held" ? T("继续", "Resume") : T("暂停", "Pause"));
  bStop->setTitle(ended()          ? T("关闭", "Close")
                  : st == "queued" ? T("不排了", "Cancel")
                                   : T("停止", "Stop"));
  if (askFast) return {bYes, bNo};
  if (ended()) return result.empty() ? std::vector<Button*>{bStop} : std::vector{bOpen, bStop};
  if (st == "queued") return {bStop};
  if (st == "held") return {bPause, bStop};
  return {bView, bPause, bStop};
}

void App::bubbleShow(bool open) {
  if (!open) {
    bubble->orderOut();
    inDrawer = false;
    if (unlSeen) {
      unlSeen = false;
      const int64_t ver = unl ? intMember(*unl, "ver").value_or(0) : 0;
      emit({{"ev", "unl"}, {"v", "seen"}, {"ver", ver}});
    }
    return;
  }

  if (view->hover && unlOn("hint") && !unlText("line").empty()) unlSeen = true;
  const std::string st = cst();
  const std::string label =
      shown && st == "running" ? T("正在干活", "Working") : statusLabel(st, options_.zh);
  int64_t done = view->done;
  int64_t total = view->total;
  if (options_.boardMode) {
    const Job* current = cur();
    done = current ? current->done : 0;
    total = current ? current->total : 0;
  }
  lTitle->setText(title.empty() ? label : title + " · " + label);
  lDetail->setText(detail);
  lNote->setText(ended() ? "" : note);
  lWarn->setText(askFast ? fastWarning() : "");

  const bool wide = options_.boardMode && jobs.size() >= 2;
  const double W = wide ? 290 : 260;
  const double w = W - 28;
  double y = 12;

  lvView->setHidden(!wide);
  if (wide) {
    lv->rows = listRows();
    lv->sel = sel;
    lv->more = int64_t(jobs.size() - lv->rows.size());
    const double height = 24 * double(lv->rows.size()) + (lv->more >= 1 ? 20 : 0);
    lvView->setFrame(Rect{{6, 8}, {w + 16, height}});
    lvView->setNeedsDisplay();
    y = height + 14;
  }

  lTip->setText(options_.boardMode ? countsLine(wide) : "");
  lTip->setColor(low ? kOrange : white(0.55));
  placeLabel(*lTip, w, y);
  if (wide) y += 3;
  placeLabel(*lTitle, w, y);

  // A total of 0 has no progress to show, and neither has a negative one.
  bar->setHidden(total <= 0);
  if (total > 0) {
    bar->setFrame(Rect{{14, y + 2}, {w, 4}});
    barIn->setColor(TabView::color(st));
    barIn->setFrame(Rect{{0, 0}, {w * filled(done, total), 4}});
    y += 13;
  }

  placeLabel(*lDetail, w, y);
  placeLabel(*lNote, w, y);

  seg->setHidden(ended() || parked() || speed.empty());
  if (!seg->isHidden()) {
    seg->setSelected(askFast ? 3 : speedIndex(speed));
    seg->setFrame(Rect{{12, y + 2}, {w + 4, 22}});
    y += 30;
  }

  placeLabel(*lWarn, w, y);

  const std::vector<Button*> row = buttonRow();
  for (Button* button : {bView, bPause, bStop, bOpen, bYes, bNo})
    button->setHidden(std::find(row.begin(), row.end(), button) == row.end());
  const double share = (w + 8) / double(row.size());
  for (size_t i = 0; i < row.size(); ++i)
    row[i]->setFrame(Rect{{10 + double(i) * share, y + 1}, {share, 24}});
  y += 32;

  if (!ended() && !result.empty() && done > 0 && !askFast) {
    bOpen->setHidden(false);
    bOpen->setFrame(Rect{{10, y - 2}, {w + 8, 24}});
    y += 28;
  }

  lUnl->setText(unlText("line"));
  lUnl->setColor(unlOn("warn") ? kOrange : white(0.7));
  bUnl->setTitle(unlText("btn"));
  bUnl->setHidden(bUnl->title().empty());
  bUnl->setEnabled(!unlOn("busy"));
  if (!lUnl->text().empty()) y += 4;
  placeLabel(*lUnl, w, y);
  if (!bUnl->isHidden()) {
    bUnl->setFrame(Rect{{10, y - 2}, {w + 8, 24}});
    y += 28;
  }

  placeBubble(W, y + 4);
  if (!options_.quietUI) bubble->orderFrontRegardless();
}

void App::pin(double seconds) {
  pinUntil = ports_.loop.now() + seconds;
  bubbleShow(true);
  ports_.loop.after(std::max(0.0, seconds + 0.1), weakly([](App& app) { app.closeSoon(); }));
}

void App::closeSoon() {
  ports_.loop.after(0.35, weakly([](App& app) {
                      if (app.view->hover || app.inDrawer || app.ports_.loop.now() < app.pinUntil)
                        return;
                      app.askFast = false;
                      app.bubbleShow(false);
                    }));
}

void App::setShown(bool v) {
  if (v == shown) return;
  shown = v;
  view->shown = v || mirrorOn;
  redrawTab();
  if (bubble->isVisible()) bubbleShow(true);
  emit({{"ev", "visible"}, {"v", v}});
}

}  // namespace qn
