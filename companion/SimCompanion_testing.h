#pragma once

#include <memory>
#include <string>
#include <vector>

#include <nlohmann/json.hpp>

#include "companion/App.h"
#include "platform/sim/SimAccessibility.h"
#include "platform/sim/SimInputTiming.h"
#include "platform/sim/SimKeyPoster.h"
#include "platform/sim/SimMainLoop.h"
#include "platform/sim/SimPanels.h"
#include "platform/sim/SimScreens.h"
#include "platform/sim/SimSound.h"
#include "platform/sim/SimWindowCapture.h"
#include "platform/sim/SimWorkspace.h"

namespace qn::test {

// A companion on the simulated desktop with one 1400 x 900 screen; what it writes is kept.
struct SimCompanion {
  SimMainLoop loop;
  SimPanels panels;
  SimScreens screens;
  SimWindowList windowList;
  SimWorkspace workspace;
  SimAccessibility accessibility;
  SimInputTiming inputTiming{loop};
  SimKeyPoster keyPoster;
  SimWindowCapture windowCapture;
  SimSound sound;
  std::vector<std::string> lines;
  bool terminated = false;
  std::shared_ptr<App> app;

  explicit SimCompanion(CompanionOptions options = {}, bool launch = true) {
    screens.list = {Screen{{{0, 0}, {1400, 900}}, {{0, 0}, {1400, 876}}, 1}};
    app = std::make_shared<App>(
        CompanionPorts{loop, panels, screens, windowList, workspace, accessibility, inputTiming,
                       keyPoster, windowCapture, sound,
                       [this](std::string_view line) { lines.emplace_back(line); },
                       [this] {
                         terminated = true;
                         loop.quit();
                       }},
        std::move(options));
    if (launch) app->applicationDidFinishLaunching();
  }

  void command(const std::string& json) { app->handle(nlohmann::json::parse(json)); }
  // The events written so far, parsed.
  std::vector<nlohmann::json> events() const {
    std::vector<nlohmann::json> list;
    for (const auto& line : lines) list.push_back(nlohmann::json::parse(line));
    return list;
  }
  SimPanel& tabPanel() { return *panels.made.at(0); }
  SimPanel& bubblePanel() { return static_cast<SimPanel&>(*app->bubble); }
  SimPanel& askPanel() { return static_cast<SimPanel&>(*app->ask); }
  void board(const std::string& members) { command(R"({"cmd":"board",)" + members + "}"); }
};

// The simulated controls behind the controller's fields.
inline SimLabel& simOf(Label* label) {
  return *static_cast<SimLabel*>(label);
}
inline SimButton& simOf(Button* button) {
  return *static_cast<SimButton*>(button);
}
inline SimSegmentedControl& simOf(SegmentedControl* control) {
  return *static_cast<SimSegmentedControl*>(control);
}
inline SimBox& simOf(Box* box) {
  return *static_cast<SimBox*>(box);
}

inline CompanionOptions boardOptions(bool zh = false) {
  CompanionOptions options;
  options.boardMode = true;
  options.zh = zh;
  return options;
}

inline CompanionOptions plainOptions(bool zh = false) {
  CompanionOptions options;
  options.zh = zh;
  return options;
}

}  // namespace qn::test
