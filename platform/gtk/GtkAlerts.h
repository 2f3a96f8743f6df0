#pragma once

#include "platform/Alerts.h"

namespace qn {

class GtkAlerts final : public Alerts {
 public:
  int runModal(const AlertOptions& alert) override;
};

}  // namespace qn
