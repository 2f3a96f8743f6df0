#pragma once

#include <cstdint>
#include <functional>
#include <string>
#include <vector>

#include "companion/Job.h"
#include "platform/Controls.h"

namespace qn {

// The drawer's job list: one row per job with a state dot, the title and a short state word,
// and a last line counting the jobs left out. The controller fills it and handles picks.
class ListView : public ViewContent {
 public:
  explicit ListView(bool zh) : zh_(zh) {}

  // The short state word of a row.
  static std::string word(const Job& job, bool zh);
  // The row under a point of the view, or -1.
  int at(Point point) const;

  void draw(Canvas& canvas, Size bounds) override;
  void mouseMoved(Point point) override;
  void mouseExited() override;
  void mouseDown(Point point) override;

  std::vector<Job> rows;
  std::string sel;
  int64_t more = 0;
  int hot = -1;
  std::function<void(const std::string&)> onPick;
  double RH = 24;
  // Asked for after the hover row changes; the controller's view redraws.
  std::function<void()> onNeedsDisplay;

 private:
  void drawRow(Canvas& canvas, const Job& job, double y0, double w, bool highlighted) const;
  void setHot(int row);
  bool zh_;
};

}  // namespace qn
