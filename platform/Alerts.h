#pragma once

#include <optional>
#include <string>
#include <vector>

namespace qn {

enum class AlertStyle { Informational, Warning, Critical };

struct AlertOptions {
  AlertStyle style = AlertStyle::Informational;
  std::string message;
  std::string informative;
  // In order; the first is the affirmative one.
  std::vector<std::string> buttons;
  // An image file shown in place of the style's icon; the style's icon when it does not load.
  std::optional<std::string> iconPath{};
};

// Modal alerts. The first button is the default one.
class Alerts {
 public:
  virtual ~Alerts() = default;
  // Runs the alert application-modally; returns the index of the chosen button, or -1 when the
  // alert was closed without one.
  virtual int runModal(const AlertOptions& alert) = 0;
  // The same with a check box titled checkBox below the texts, initially off; *checkBoxOn is set
  // to its state when the alert ends.
  virtual int runModalWithCheckBox(const AlertOptions& alert, const std::string& checkBox,
                                   bool* checkBoxOn) = 0;
};

}  // namespace qn
