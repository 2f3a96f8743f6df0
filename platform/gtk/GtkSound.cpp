// GtkSound: qn::Sound through libcanberra.
//   [x] the system's sound names mapped to freedesktop theme events ("Glass" -> "complete")
//   [x] played on the session's sound server, asynchronously; false when nothing can play

#include "platform/gtk/GtkSound.h"

#include <canberra.h>

#include <map>

namespace qn {

GtkSound::~GtkSound() {
  if (context_ != nullptr) ca_context_destroy(context_);
}

std::string GtkSound::eventIdFor(const std::string& name) {
  static const std::map<std::string, std::string> events = {
      {"Glass", "complete"},
      {"Basso", "dialog-error"},
      {"Ping", "message"},
      {"Funk", "dialog-warning"},
  };
  const auto found = events.find(name);
  return found == events.end() ? std::string() : found->second;
}

bool GtkSound::play(const std::string& name) {
  const std::string event = eventIdFor(name);
  if (event.empty()) return false;
  if (context_ == nullptr) {
    if (ca_context_create(&context_) != CA_SUCCESS) {
      context_ = nullptr;
      return false;
    }
    ca_context_change_props(context_, CA_PROP_APPLICATION_NAME, "Brinket", CA_PROP_APPLICATION_ID,
                            "app.quentra.brinket", nullptr);
  }
  return ca_context_play(context_, 0, CA_PROP_EVENT_ID, event.c_str(), CA_PROP_MEDIA_ROLE, "event",
                         nullptr) == CA_SUCCESS;
}

}  // namespace qn
