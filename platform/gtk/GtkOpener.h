#pragma once

#include "platform/Opener.h"

namespace qn {

class GtkOpener final : public Opener {
 public:
  void openURL(const std::string& url) override;
  void openFile(const std::string& path) override;
};

}  // namespace qn
