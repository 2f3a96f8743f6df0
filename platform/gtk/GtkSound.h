#pragma once

#include <string>

#include "platform/Sound.h"

struct ca_context;

namespace qn {

// Event sounds through libcanberra and the freedesktop sound theme.
class GtkSound : public Sound {
 public:
  GtkSound() = default;
  ~GtkSound() override;
  GtkSound(const GtkSound&) = delete;
  GtkSound& operator=(const GtkSound&) = delete;
  bool play(const std::string& name) override;

  // The theme's event id for a system sound name; empty when there is none.
  static std::string eventIdFor(const std::string& name);

 private:
  ca_context* context_ = nullptr;
};

}  // namespace qn
