#pragma once

#include <string>

namespace qn {

// The desktop's event sounds, by the system's sound names ("Glass").
class Sound {
 public:
  virtual ~Sound() = default;
  // Starts the sound and returns; false when there is no such sound or nothing can play.
  virtual bool play(const std::string& name) = 0;
};

}  // namespace qn
