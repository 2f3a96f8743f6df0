#pragma once

#include <set>
#include <string>
#include <vector>

#include "platform/Sound.h"

namespace qn {

// The sounds played, in order; only the named ones exist.
class SimSound : public Sound {
 public:
  bool play(const std::string& name) override {
    if (!available.contains(name)) return false;
    played.push_back(name);
    return true;
  }
  std::set<std::string> available{"Glass"};
  std::vector<std::string> played;
};

}  // namespace qn
