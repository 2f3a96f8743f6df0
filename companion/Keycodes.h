#pragma once

#include <cstdint>
#include <map>
#include <string>

namespace qn {

// Key names the key-posting commands accept, with their virtual key codes; names are exact.
extern const std::map<std::string, uint16_t> KEYCODES;

}  // namespace qn
