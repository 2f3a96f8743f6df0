#include "shell/UserDefaults.h"

#include "base/Files.h"
#include "base/Paths.h"

namespace qn {

nlohmann::json UserDefaults::read() const {
  const auto text = readUtf8File(path_);
  if (!text) return nlohmann::json::object();
  auto values = nlohmann::json::parse(*text, nullptr, false);
  return values.is_object() ? values : nlohmann::json::object();
}

bool UserDefaults::boolForKey(const std::string& key) const {
  const nlohmann::json values = read();
  const auto found = values.find(key);
  return found != values.end() && found->is_boolean() && found->get<bool>();
}

bool UserDefaults::setBool(const std::string& key, bool value) {
  nlohmann::json values = read();
  values[key] = value;
  return createDirectories(parentPath(path_)) && writeFileAtomically(path_, values.dump(2) + "\n");
}

}  // namespace qn
