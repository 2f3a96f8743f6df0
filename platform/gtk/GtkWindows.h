#pragma once

#include <memory>

#include "platform/Windows.h"
#include "platform/gtk/GtkApplicationMenuBar.h"

namespace qn {

class GtkWindows final : public Windows {
 public:
  std::unique_ptr<MainWindow> createMainWindow(Size contentSize) override;
  MenuBar& menuBar() override { return applicationMenuBar(); }

 private:
  // Made on first use: the toolkit is not ready when the backend is constructed.
  GtkApplicationMenuBar& applicationMenuBar();

  std::unique_ptr<GtkApplicationMenuBar> menuBar_;
};

}  // namespace qn
