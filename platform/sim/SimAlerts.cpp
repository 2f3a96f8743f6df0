#include "platform/sim/SimAlerts.h"

namespace qn {

int SimAlerts::runModal(const AlertOptions& alert) {
  shown.push_back(alert);
  if (answers.empty()) return 0;
  const int answer = answers.front();
  answers.pop_front();
  return answer;
}

}  // namespace qn
