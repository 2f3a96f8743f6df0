#pragma once

#include "platform/Windows.h"

namespace qn {

class GtkWindows final : public Windows {
 public:
  std::unique_ptr<MainWindow> createMainWindow(Size contentSize) override;
};

}  // namespace qn
