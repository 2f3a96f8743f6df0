#pragma once

#include <functional>
#include <optional>
#include <string>
#include <vector>

#include "platform/Alerts.h"

namespace qn {

// How a panel is shown: attached to the main window while it is visible, application-modal
// otherwise.
enum class PanelMode { Sheet, ApplicationModal };

struct PromptField {
  std::string defaultText;
};

struct PanelOptions {
  AlertStyle style = AlertStyle::Informational;
  std::string message;
  std::vector<std::string> buttons;  // the first is the default one
  // A text field under the message, given the focus; its text comes back with the answer.
  std::optional<PromptField> field;
};

struct OpenPanelOptions {
  bool canChooseFiles = true;
  bool canChooseDirectories = false;
  bool allowsMultipleSelection = false;
  bool resolvesAliases = true;
  std::string prompt;  // the title of the choose button
};

// Panels that answer later, without blocking the caller. Every panel calls its completion
// exactly once.
class Dialogs {
 public:
  virtual ~Dialogs() = default;
  // button is the index chosen, or -1 when the panel was closed without one; text is the
  // field's content when the panel has a field.
  virtual void showPanel(const PanelOptions& panel, PanelMode mode,
                         std::function<void(int button, std::string text)> done) = 0;
  // The chosen paths, or none when cancelled.
  virtual void showOpenPanel(const OpenPanelOptions& panel, PanelMode mode,
                             std::function<void(std::optional<std::vector<std::string>>)> done) = 0;
};

}  // namespace qn
