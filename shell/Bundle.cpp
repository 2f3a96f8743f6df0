#include "shell/Bundle.h"

#include "base/Files.h"
#include "base/Paths.h"

namespace qn {

Bundle Bundle::main() {
  return forExecutable(resolveSymlinks("/proc/self/exe").value_or("/proc/self/exe"));
}

Bundle Bundle::forExecutable(const std::string& executablePath) {
  Bundle bundle;
  const std::string folder = parentPath(executablePath);
  const std::string contents = parentPath(folder);
  const std::string root = parentPath(contents);
  const bool inBundle = lastPathComponent(folder) == "MacOS" &&
                        lastPathComponent(contents) == "Contents" && root.size() > 4 &&
                        root.ends_with(".app");
  if (!inBundle) {
    bundle.bundlePath = folder;
    return bundle;
  }
  bundle.bundlePath = root;
  const std::string resources = appendPath(contents, "Resources");
  if (isDirectory(resources)) bundle.resourcesPath = resources;
  if (const auto text = readFile(appendPath(contents, "Info.json"))) {
    auto info = nlohmann::json::parse(*text, nullptr, false);
    if (info.is_object()) bundle.info = std::move(info);
  }
  return bundle;
}

std::optional<std::string> Bundle::infoString(const std::string& key) const {
  const auto found = info.find(key);
  if (found == info.end() || !found->is_string()) return std::nullopt;
  return found->get<std::string>();
}

}  // namespace qn
