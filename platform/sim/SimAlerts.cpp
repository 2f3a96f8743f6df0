#include "platform/sim/SimAlerts.h"

namespace qn {

int SimAlerts::runModal(const AlertOptions& alert) {
  shown.push_back(alert);
  checkBoxes.emplace_back();
  if (answers.empty()) return 0;
  const int answer = answers.front();
  answers.pop_front();
  return answer;
}

int SimAlerts::runModalWithCheckBox(const AlertOptions& alert, const std::string& checkBox,
                                    bool* checkBoxOn) {
  const int answer = runModal(alert);
  checkBoxes.back() = checkBox;
  bool on = false;
  if (!checkBoxAnswers.empty()) {
    on = checkBoxAnswers.front();
    checkBoxAnswers.pop_front();
  }
  if (checkBoxOn) *checkBoxOn = on;
  return answer;
}

}  // namespace qn
