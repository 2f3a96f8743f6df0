#pragma once

#include "platform/Dialogs.h"

namespace qn {

class GtkDialogs final : public Dialogs {
 public:
  void showPanel(const PanelOptions& panel, PanelMode mode,
                 std::function<void(int button, std::string text)> done) override;
  void showOpenPanel(const OpenPanelOptions& panel, PanelMode mode,
                     std::function<void(std::optional<std::vector<std::string>>)> done) override;
};

}  // namespace qn
