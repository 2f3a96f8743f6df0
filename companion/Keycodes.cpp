#include "companion/Keycodes.h"

namespace qn {

const std::map<std::string, uint16_t> KEYCODES = {
    {"Enter", 36}, {"Tab", 48},        {"Escape", 53},      {"Backspace", 51},  {"Delete", 117},
    {"Space", 49}, {"ArrowLeft", 123}, {"ArrowRight", 124}, {"ArrowDown", 125}, {"ArrowUp", 126},
    {"Home", 115}, {"End", 119},       {"PageUp", 116},     {"PageDown", 121},
};

}  // namespace qn
