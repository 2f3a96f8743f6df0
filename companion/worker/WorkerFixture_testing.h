#pragma once

#include <memory>
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "companion/SimCompanion_testing.h"

namespace qn::test {

// A companion with a worker application that has one accessible window, on one screen of
// 1440 x 900 whose visible frame leaves 25 points for a menu bar at the top; the user's own
// application is frontmost.
struct WorkerFixture : SimCompanion {
  static constexpr pid_t kWorkerPid = 4242;
  static constexpr pid_t kUserPid = 777;

  std::shared_ptr<SimApplication> worker;
  std::shared_ptr<SimApplication> user;
  SimElementRef application;
  SimElementRef window;

  explicit WorkerFixture(CompanionOptions options = plainOptions())
      : SimCompanion(std::move(options), false) {
    screens.list = {Screen{{{0, 0}, {1440, 900}}, {{0, 0}, {1440, 875}}, 1}};
    worker = workspace.add(kWorkerPid);
    user = workspace.add(kUserPid);
    user->activate();
    application = accessibility.app(kWorkerPid);
    window = std::make_shared<SimElement>("window");
    window->set("AXRole", std::string("AXWindow"))
        .set("AXTitle", std::string("Worker"))
        .set("AXSize", Size{1600, 1000})
        .set("AXPosition", Point{10, 10});
    application->set("AXMainWindow", window).set("AXWindows", std::vector<SimElementRef>{window});
    app->applicationDidFinishLaunching();
  }

  // init for the worker; app 1 makes it a native worker managed through accessibility.
  void init(bool native = true) {
    command(R"({"cmd":"init","pid":4242,"title":"Worker","app":)" +
            std::string(native ? "1" : "0") + "}");
    lines.clear();
  }

  // The worker named and handed to the user, the events so far dropped.
  void showWorker(bool native) {
    init(native);
    command(R"({"cmd":"show"})");
    lines.clear();
  }

  // The events written since the last call, parsed.
  std::vector<nlohmann::json> take() {
    auto list = events();
    lines.clear();
    return list;
  }

  // The values written to an attribute of an element, in order.
  template <class T>
  std::vector<T> writesOf(const SimElementRef& element, const std::string& attribute) const {
    std::vector<T> values;
    for (const auto& write : accessibility.writes)
      if (write.element == element && write.attribute == attribute)
        values.push_back(std::get<T>(write.value));
    return values;
  }
};

}  // namespace qn::test
