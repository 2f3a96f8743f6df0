#include "platform/sim/SimAccessibility.h"

#include <algorithm>

namespace qn {

namespace {

template <class T>
std::optional<T> as(const SimElement::Value* value) {
  if (value == nullptr) return std::nullopt;
  if (const T* held = std::get_if<T>(value)) return *held;
  return std::nullopt;
}

}  // namespace

SimElementRef SimElement::addChild(const std::string& role, const std::string& childName) {
  auto child = std::make_shared<SimElement>(childName);
  child->set("AXRole", role);
  auto& value = attributes["AXChildren"];
  if (!std::holds_alternative<std::vector<SimElementRef>>(value))
    value = std::vector<SimElementRef>{};
  std::get<std::vector<SimElementRef>>(value).push_back(child);
  return child;
}

bool SimAccessibility::isProcessTrusted(bool prompt) {
  if (prompt && !trusted) ++prompts;
  return trusted;
}

SimElementRef SimAccessibility::app(pid_t pid) {
  auto& element = applications[pid];
  if (!element) element = std::make_shared<SimElement>("application " + std::to_string(pid));
  return element;
}

AXRef SimAccessibility::applicationElement(pid_t pid) {
  if (pid <= 0) return nullptr;
  return app(pid);
}

const SimElement::Value* SimAccessibility::find(const AXRef& element, std::string_view name) {
  ++reads;
  const auto* sim = dynamic_cast<const SimElement*>(element.get());
  if (sim == nullptr) return nullptr;
  const auto found = sim->attributes.find(name);
  return found == sim->attributes.end() ? nullptr : &found->second;
}

std::optional<std::string> SimAccessibility::stringAttribute(const AXRef& element,
                                                             std::string_view name) {
  return as<std::string>(find(element, name));
}

std::optional<bool> SimAccessibility::boolAttribute(const AXRef& element, std::string_view name) {
  return as<bool>(find(element, name));
}

std::optional<Size> SimAccessibility::sizeAttribute(const AXRef& element, std::string_view name) {
  return as<Size>(find(element, name));
}

std::optional<Point> SimAccessibility::pointAttribute(const AXRef& element, std::string_view name) {
  return as<Point>(find(element, name));
}

AXRef SimAccessibility::elementAttribute(const AXRef& element, std::string_view name) {
  return as<SimElementRef>(find(element, name)).value_or(nullptr);
}

std::optional<std::vector<AXRef>> SimAccessibility::elementsAttribute(const AXRef& element,
                                                                      std::string_view name) {
  const auto list = as<std::vector<SimElementRef>>(find(element, name));
  if (!list) return std::nullopt;
  return std::vector<AXRef>(list->begin(), list->end());
}

bool SimAccessibility::write(const AXRef& element, std::string_view name, SimElement::Value value) {
  auto sim = std::dynamic_pointer_cast<SimElement>(element);
  if (!sim) return false;
  writes.push_back(Write{sim, std::string(name), value});
  if (std::find(sim->readOnly.begin(), sim->readOnly.end(), name) != sim->readOnly.end())
    return false;
  sim->attributes[std::string(name)] = std::move(value);
  return true;
}

bool SimAccessibility::setBoolAttribute(const AXRef& element, std::string_view name, bool value) {
  return write(element, name, value);
}

bool SimAccessibility::setSizeAttribute(const AXRef& element, std::string_view name, Size value) {
  return write(element, name, value);
}

bool SimAccessibility::setPointAttribute(const AXRef& element, std::string_view name, Point value) {
  return write(element, name, value);
}

bool SimAccessibility::performAction(const AXRef& element, std::string_view action) {
  auto* sim = dynamic_cast<SimElement*>(element.get());
  if (sim == nullptr) return false;
  sim->actions.emplace_back(action);
  return true;
}

bool SimAccessibility::equal(const AXRef& a, const AXRef& b) {
  return a && a == b;
}

}  // namespace qn
