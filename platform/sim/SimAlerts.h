#pragma once

#include <deque>
#include <vector>

#include "platform/Alerts.h"

namespace qn {

// Records every alert and answers with the queued button indexes (the first button when none
// is queued).
class SimAlerts : public Alerts {
 public:
  int runModal(const AlertOptions& alert) override;

  std::vector<AlertOptions> shown;
  std::deque<int> answers;
};

}  // namespace qn
