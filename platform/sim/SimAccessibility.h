#pragma once

#include <sys/types.h>

#include <map>
#include <memory>
#include <string>
#include <variant>
#include <vector>

#include "platform/Accessibility.h"

namespace qn {

class SimElement;
using SimElementRef = std::shared_ptr<SimElement>;

// One element of a scripted accessibility tree. A test sets its attributes; writes land in
// them too, so a later read sees what was written.
class SimElement : public AXElement {
 public:
  // A value of a kind the program never asks for stands for "some other type".
  struct Other {};
  using Value = std::variant<std::string, bool, Size, Point, SimElementRef,
                             std::vector<SimElementRef>, Other>;

  explicit SimElement(std::string name = {}) : name(std::move(name)) {}
  SimElement& set(const std::string& attribute, Value value) {
    attributes[attribute] = std::move(value);
    return *this;
  }
  // Appends a child to "AXChildren" and returns it.
  SimElementRef addChild(const std::string& role, const std::string& childName = {});

  std::string name;
  std::map<std::string, Value, std::less<>> attributes;
  // Attribute names whose writes the element refuses.
  std::vector<std::string> readOnly;
  std::vector<std::string> actions;
};

class SimAccessibility : public Accessibility {
 public:
  struct Write {
    SimElementRef element;
    std::string attribute;
    SimElement::Value value;
  };

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

  // The application element of the pid, made on first use.
  SimElementRef app(pid_t pid);

  bool trusted = true;
  int prompts = 0;
  // Attribute reads, across all elements: bounds a search.
  int reads = 0;
  std::vector<Write> writes;
  std::map<pid_t, SimElementRef> applications;

 private:
  const SimElement::Value* find(const AXRef& element, std::string_view name);
  bool write(const AXRef& element, std::string_view name, SimElement::Value value);
};

}  // namespace qn
