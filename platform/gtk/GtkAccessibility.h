#pragma once

#include <map>
#include <string>

#include "platform/Accessibility.h"

namespace qn {

// The named keys an editable text element can take without key events.
enum class TextKey { Backspace, Delete, Left, Right, Home, End, Return };

// Accessibility through AT-SPI 2. Windows are also matched to their X clients by owner and
// title, because moving, sizing and raising a top-level window go through the window manager.
class GtkAccessibility : public Accessibility {
 public:
  bool isProcessTrusted(bool prompt) override;
  AXRef applicationElement(pid_t pid) override;

  std::optional<std::string> stringAttribute(const AXRef& element, std::string_view name) override;
  std::optional<bool> boolAttribute(const AXRef& element, std::string_view name) override;
  std::optional<Size> sizeAttribute(const AXRef& element, std::string_view name) override;
  std::optional<Point> pointAttribute(const AXRef& element, std::string_view name) override;
  AXRef elementAttribute(const AXRef& element, std::string_view name) override;
  std::optional<std::vector<AXRef>> elementsAttribute(const AXRef& element,
                                                      std::string_view name) override;

  bool setBoolAttribute(const AXRef& element, std::string_view name, bool value) override;
  bool setSizeAttribute(const AXRef& element, std::string_view name, Size value) override;
  bool setPointAttribute(const AXRef& element, std::string_view name, Point value) override;
  bool performAction(const AXRef& element, std::string_view action) override;
  bool equal(const AXRef& a, const AXRef& b) override;

  // The process's focused element when it offers editable text; none otherwise (key events are
  // the way in then).
  AXRef focusedEditableElement(pid_t pid);
  // Inserts the text at the element's caret and moves the caret behind it, as typing would.
  bool insertAtCaret(const AXRef& element, const std::string& utf8);
  // Does what the key does at the element's caret; Return performs the element's activate
  // action.
  bool applyTextKey(const AXRef& element, TextKey key);

 private:
  // Connects to the accessibility bus once it answers and is enabled.
  bool connected();
  bool connected_ = false;
  // The element this port last gave the focus to, per process: toolkits report no focused
  // element while their window is inactive, and it stays inactive here.
  std::map<pid_t, AXRef> givenFocus_;
};

}  // namespace qn
