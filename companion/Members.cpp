#include "companion/Members.h"

#include <cmath>
#include <limits>

namespace qn {

namespace {

const nlohmann::json* member(const nlohmann::json& object, const char* key) {
  if (!object.is_object()) return nullptr;
  const auto found = object.find(key);
  return found == object.end() ? nullptr : &*found;
}

}  // namespace

std::optional<int64_t> intMember(const nlohmann::json& object, const char* key) {
  const auto* value = member(object, key);
  if (value == nullptr) return std::nullopt;
  if (value->is_number_integer() && !value->is_number_unsigned()) return value->get<int64_t>();
  if (value->is_number_unsigned()) {
    const auto unsignedValue = value->get<uint64_t>();
    if (unsignedValue > static_cast<uint64_t>(std::numeric_limits<int64_t>::max()))
      return std::nullopt;
    return static_cast<int64_t>(unsignedValue);
  }
  if (value->is_number_float()) {
    // 2.0 is an integer written another way; 2.5 is not, nor is anything beyond 64 bits.
    const double number = value->get<double>();
    if (!std::isfinite(number) || std::floor(number) != number) return std::nullopt;
    if (number < -9223372036854775808.0 || number >= 9223372036854775808.0) return std::nullopt;
    return static_cast<int64_t>(number);
  }
  return std::nullopt;
}

std::optional<int32_t> int32Member(const nlohmann::json& object, const char* key) {
  const auto value = intMember(object, key);
  if (!value || *value < std::numeric_limits<int32_t>::min() ||
      *value > std::numeric_limits<int32_t>::max())
    return std::nullopt;
  return static_cast<int32_t>(*value);
}

std::optional<double> numberMember(const nlohmann::json& object, const char* key) {
  const auto* value = member(object, key);
  if (value == nullptr || !value->is_number()) return std::nullopt;
  return value->get<double>();
}

std::optional<bool> boolMember(const nlohmann::json& object, const char* key) {
  const auto* value = member(object, key);
  if (value == nullptr || !value->is_boolean()) return std::nullopt;
  return value->get<bool>();
}

std::optional<std::string> stringMember(const nlohmann::json& object, const char* key) {
  const auto* value = member(object, key);
  if (value == nullptr || !value->is_string()) return std::nullopt;
  return value->get<std::string>();
}

const std::string* stringRef(const nlohmann::json& object, const char* key) {
  const auto* value = member(object, key);
  return value != nullptr && value->is_string() ? value->get_ptr<const std::string*>() : nullptr;
}

const nlohmann::json* objectMember(const nlohmann::json& object, const char* key) {
  const auto* value = member(object, key);
  return value != nullptr && value->is_object() ? value : nullptr;
}

}  // namespace qn
