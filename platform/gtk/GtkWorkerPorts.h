#pragma once

#include "platform/Accessibility.h"
#include "platform/InputTiming.h"
#include "platform/KeyPoster.h"
#include "platform/MainLoop.h"
#include "platform/WindowCapture.h"

namespace qn {

// Accessibility is not reached on this desktop yet: never trusted, no elements.
class GtkAccessibility : public Accessibility {
 public:
  bool isProcessTrusted(bool) override { return false; }
  AXRef applicationElement(pid_t) override { return nullptr; }
  std::optional<std::string> stringAttribute(const AXRef&, std::string_view) override {
    return std::nullopt;
  }
  std::optional<bool> boolAttribute(const AXRef&, std::string_view) override {
    return std::nullopt;
  }
  std::optional<Size> sizeAttribute(const AXRef&, std::string_view) override {
    return std::nullopt;
  }
  std::optional<Point> pointAttribute(const AXRef&, std::string_view) override {
    return std::nullopt;
  }
  AXRef elementAttribute(const AXRef&, std::string_view) override { return nullptr; }
  std::optional<std::vector<AXRef>> elementsAttribute(const AXRef&, std::string_view) override {
    return std::nullopt;
  }
  bool setBoolAttribute(const AXRef&, std::string_view, bool) override { return false; }
  bool setSizeAttribute(const AXRef&, std::string_view, Size) override { return false; }
  bool setPointAttribute(const AXRef&, std::string_view, Point) override { return false; }
  bool performAction(const AXRef&, std::string_view) override { return false; }
  bool equal(const AXRef& a, const AXRef& b) override { return a && a == b; }
};

// No input is dated yet: as if the user had been away for ever.
class GtkInputTiming : public InputTiming {
 public:
  double secondsSinceLastEvent(InputSourceState, InputEventType) override;
};

// Keys cannot be delivered yet.
class GtkKeyPoster : public KeyPoster {
 public:
  bool post(pid_t, const KeyEvent&) override { return false; }
  void pause(double seconds) override;
};

// No window can be listed or captured yet.
class GtkWindowCapture : public WindowCapture {
 public:
  explicit GtkWindowCapture(MainLoop& loop) : loop_(loop) {}
  void shareableWindows(
      std::function<void(std::optional<std::vector<ShareableWindow>>)> done) override;
  void captureWindow(const ShareableWindow&, int, int, std::function<void(ImageRef)> done) override;

 private:
  MainLoop& loop_;
};

}  // namespace qn
