#pragma once

#include <functional>
#include <optional>
#include <string>
#include <vector>

#include "platform/Dialogs.h"
#include "platform/Opener.h"

namespace qn {

class SimOpener : public Opener {
 public:
  void openURL(const std::string& url) override { urls.push_back(url); }
  void openFile(const std::string& path) override { files.push_back(path); }
  std::vector<std::string> urls;
  std::vector<std::string> files;
};

// Holds each panel until the test answers it.
class SimDialogs : public Dialogs {
 public:
  struct Panel {
    PanelOptions options;
    PanelMode mode;
    std::function<void(int, std::string)> done;
  };
  struct OpenPanel {
    OpenPanelOptions options;
    PanelMode mode;
    std::function<void(std::optional<std::vector<std::string>>)> done;
  };

  void showPanel(const PanelOptions& panel, PanelMode mode,
                 std::function<void(int, std::string)> done) override {
    panels.push_back({panel, mode, std::move(done)});
  }
  void showOpenPanel(const OpenPanelOptions& panel, PanelMode mode,
                     std::function<void(std::optional<std::vector<std::string>>)> done) override {
    openPanels.push_back({panel, mode, std::move(done)});
  }

  std::vector<Panel> panels;
  std::vector<OpenPanel> openPanels;
};

}  // namespace qn
