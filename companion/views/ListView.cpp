#include "companion/views/ListView.h"

#include <algorithm>
#include <limits>

#include "companion/views/Colors.h"
#include "companion/views/TabView.h"

namespace qn {

namespace {

const Font kWordFont{11, FontWeight::Regular};

// The queue place counts from 1; the largest count cannot grow further.
int64_t place(int64_t ahead) {
  return ahead == std::numeric_limits<int64_t>::max() ? ahead : ahead + 1;
}

}  // namespace

std::string ListView::word(const Job& job, bool zh) {
  const std::string& s = job.state;
  if (s == "queued") return (zh ? "排队 " : "#") + std::to_string(place(job.ahead));
  if (s == "human") return zh ? "需要你" : "Needs you";
  if (s == "held") return zh ? "停住" : "On hold";
  if (s == "ai") return zh ? "认路" : "AI";
  if (s == "paused") return zh ? "暂停" : "Paused";
  if (s == "error") return zh ? "出错" : "Error";
  if (s == "stopped") return zh ? "已停" : "Stopped";
  if (s == "done") return "✓ " + std::to_string(job.done);
  return std::to_string(job.done) + "/" + std::to_string(job.total);
}

int ListView::at(Point point) const {
  // Points above the view or past the rows, and NaN, hit nothing.
  if (!(point.y >= 0) || !(RH > 0)) return -1;
  const double index = point.y / RH;
  if (!(index < double(rows.size()))) return -1;
  return static_cast<int>(index);
}

void ListView::drawRow(Canvas& canvas, const Job& job, double y0, double w,
                       bool highlighted) const {
  const bool selected = job.id == sel;
  if (selected || highlighted)
    canvas.fillRoundedRect(Rect{{0, y0 + 1}, {w, 22}}, 6, white(selected ? 0.14 : 0.07));
  canvas.fillOval(Rect{{8, y0 + 8}, {8, 8}}, TabView::color(job.state));

  // The word stays whole; only a word wider than the row past the dot is cut.
  const std::string text = word(job, zh_);
  const double th = canvas.lineHeight(kWordFont);
  const double room = std::max(0.0, w - 31);
  const double measured = canvas.textWidth(text, kWordFont);
  const double tw = std::min(measured, room);
  const Point wordAt{w - 8 - tw, y0 + (24 - th) / 2};
  if (measured <= room) {
    canvas.drawText(text, wordAt, kWordFont, white(0.65));
  } else {
    canvas.drawTextTruncated(text, Rect{wordAt, {tw, th}}, kWordFont, white(0.65));
  }

  const double titleWidth = w - 23 - tw - 16;
  if (titleWidth <= 0) return;
  const Font titleFont{12, selected ? FontWeight::Semibold : FontWeight::Regular};
  canvas.drawTextTruncated(job.title, Rect{{23, y0 + 4}, {titleWidth, 17}}, titleFont, white(0.92));
}

void ListView::draw(Canvas& canvas, Size bounds) {
  for (size_t i = 0; i < rows.size(); ++i)
    drawRow(canvas, rows[i], double(i) * RH, bounds.width, int(i) == hot);
  if (more >= 1) {
    const std::string count = std::to_string(more);
    canvas.drawText(zh_ ? "还有 " + count + " 个" : count + " more",
                    Point{23, double(rows.size()) * RH + 3}, kWordFont, white(0.5));
  }
}

void ListView::setHot(int row) {
  hot = row;
  if (onNeedsDisplay) onNeedsDisplay();
}

void ListView::mouseMoved(Point point) {
  const int row = at(point);
  if (row != hot) setHot(row);
}

void ListView::mouseExited() {
  setHot(-1);
}

void ListView::mouseDown(Point point) {
  const int row = at(point);
  if (row >= 0 && onPick) onPick(rows[size_t(row)].id);
}

}  // namespace qn
