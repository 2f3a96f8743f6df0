#pragma once

#include <functional>
#include <map>
#include <vector>

#include "platform/Screens.h"

namespace qn {

// Screens from GDK's monitors: the primary (else the first) first, the others in GDK's order.
class GtkScreens : public Screens {
 public:
  GtkScreens();
  std::vector<Screen> screens() override;
  std::optional<Screen> mainScreen() override;
  Point mouseLocation() override;
  void onChange(std::function<void()> observer) override;

 private:
  uint32_t idFor(void* monitor);
  std::map<void*, uint32_t> ids_;
  uint32_t nextId_ = 1;
  std::vector<std::function<void()>> observers_;
  bool connected_ = false;
};

}  // namespace qn
