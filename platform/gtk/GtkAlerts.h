#pragma once

#include "platform/Alerts.h"

namespace qn {

class GtkAlerts final : public Alerts {
 public:
  int runModal(const AlertOptions& alert) override;
  int runModalWithCheckBox(const AlertOptions& alert, const std::string& checkBox,
                           bool* checkBoxOn) override;
};

}  // namespace qn
