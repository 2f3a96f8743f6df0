#pragma once

#include <string>

namespace qn {

// Hands URLs and files to the system's default applications (browser, mail client, viewer).
class Opener {
 public:
  virtual ~Opener() = default;
  virtual void openURL(const std::string& url) = 0;
  virtual void openFile(const std::string& path) = 0;
};

}  // namespace qn
