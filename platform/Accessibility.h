#pragma once

#include <sys/types.h>

#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "platform/Geometry.h"

namespace qn {

// An element of another application's accessibility tree: the application, a window, a field.
// Opaque to the program; two references may name the same element (see Accessibility::equal).
class AXElement {
 public:
  virtual ~AXElement() = default;
};

using AXRef = std::shared_ptr<AXElement>;

// The accessibility interface, addressed by the names of attributes, actions and roles the
// program uses ("AXMainWindow", "AXWindows", "AXTitle", "AXSize", "AXPosition", "AXRaise",
// "AXMain", "AXFocused", "AXFocusedUIElement", "AXRole", "AXSubrole", "AXChildren"; role values
// "AXTextArea", "AXTextField", "AXComboBox", "AXSearchField", "AXWebArea"; subrole
// "AXSecureTextField"). A backend maps them onto its desktop's own. Sizes and positions are in
// accessibility coordinates: origin at the top left of the primary screen, y down.
//
// Every read answers none when the attribute cannot be read or holds a value of another kind;
// every write and action answers whether the desktop took it.
class Accessibility {
 public:
  virtual ~Accessibility() = default;
  // Whether this process may use the interface. With prompt, an untrusted process also asks the
  // user (or the desktop) to grant it; the answer still reflects the state before that.
  virtual bool isProcessTrusted(bool prompt) = 0;
  // The application element of a process; none when pid <= 0.
  virtual AXRef applicationElement(pid_t pid) = 0;

  virtual std::optional<std::string> stringAttribute(const AXRef& element,
                                                     std::string_view name) = 0;
  virtual std::optional<bool> boolAttribute(const AXRef& element, std::string_view name) = 0;
  virtual std::optional<Size> sizeAttribute(const AXRef& element, std::string_view name) = 0;
  virtual std::optional<Point> pointAttribute(const AXRef& element, std::string_view name) = 0;
  // None when the value is not an element.
  virtual AXRef elementAttribute(const AXRef& element, std::string_view name) = 0;
  // None when the value is not an array, or holds something that is not an element.
  virtual std::optional<std::vector<AXRef>> elementsAttribute(const AXRef& element,
                                                              std::string_view name) = 0;

  virtual bool setBoolAttribute(const AXRef& element, std::string_view name, bool value) = 0;
  virtual bool setSizeAttribute(const AXRef& element, std::string_view name, Size value) = 0;
  virtual bool setPointAttribute(const AXRef& element, std::string_view name, Point value) = 0;
  virtual bool performAction(const AXRef& element, std::string_view action) = 0;
  // Both name the same element of the same application.
  virtual bool equal(const AXRef& a, const AXRef& b) = 0;
};

}  // namespace qn
