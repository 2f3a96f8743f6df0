#include "companion/App.h"
#include "companion/Members.h"

namespace qn {

bool App::unlOn(const char* key) const {
  return unl && boolMember(*unl, key).value_or(false);
}

// Outside board mode and while the fast-speed confirmation shows, the switch has no texts.
std::string App::unlText(const char* key) const {
  if (!unl || !options_.boardMode || askFast) return "";
  const nlohmann::json* texts = objectMember(*unl, options_.zh ? "zh" : "en");
  return texts ? stringMember(*texts, key).value_or("") : "";
}

void App::unlC() {
  if (!unl || unlOn("busy")) return;
  emit({{"ev", "unl"}, {"v", unlOn("on") ? "off" : "on"}});
}

}  // namespace qn
