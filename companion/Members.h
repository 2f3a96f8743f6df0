#pragma once

#include <cstdint>
#include <optional>
#include <string>

#include <nlohmann/json.hpp>

namespace qn {

// Members of a command read by type: a missing member, or one of another type, is empty.
// Integers must be integral numbers within the range of the result.
std::optional<int64_t> intMember(const nlohmann::json& object, const char* key);
std::optional<int32_t> int32Member(const nlohmann::json& object, const char* key);
std::optional<double> numberMember(const nlohmann::json& object, const char* key);
std::optional<bool> boolMember(const nlohmann::json& object, const char* key);
std::optional<std::string> stringMember(const nlohmann::json& object, const char* key);
// The string itself, not a copy (frames carry hundreds of kilobytes), or null.
const std::string* stringRef(const nlohmann::json& object, const char* key);
// The member itself when it exists and is an object.
const nlohmann::json* objectMember(const nlohmann::json& object, const char* key);

}  // namespace qn
