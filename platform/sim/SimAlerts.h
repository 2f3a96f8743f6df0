#pragma once

#include <deque>
#include <string>
#include <vector>

#include "platform/Alerts.h"

namespace qn {

// Records every alert and answers with the queued button indexes (the first button when none
// is queued).
class SimAlerts : public Alerts {
 public:
  int runModal(const AlertOptions& alert) override;
  // Records the check box's title and leaves it as the queued check box answer sets it (off
  // when none is queued).
  int runModalWithCheckBox(const AlertOptions& alert, const std::string& checkBox,
                           bool* checkBoxOn) override;

  std::vector<AlertOptions> shown;
  std::deque<int> answers;
  // The check box title of each alert in shown; empty for alerts without one.
  std::vector<std::string> checkBoxes;
  std::deque<bool> checkBoxAnswers;
};

}  // namespace qn
