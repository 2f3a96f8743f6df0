#include "base/Paths.h"

#include <pwd.h>
#include <unistd.h>

#include <cstdlib>
#include <vector>

#include "base/Text.h"

namespace qn {

namespace {

std::string homeFromPasswordDatabase(const char* user) {
  std::vector<char> buffer(16384);
  passwd entry{};
  passwd* found = nullptr;
  const int rc = user ? getpwnam_r(user, &entry, buffer.data(), buffer.size(), &found)
                      : getpwuid_r(getuid(), &entry, buffer.data(), buffer.size(), &found);
  if (rc != 0 || found == nullptr || found->pw_dir == nullptr) return {};
  return found->pw_dir;
}

}  // namespace

std::string homeDirectory() {
  const char* home = std::getenv("HOME");
  if (home != nullptr && *home != '\0') return home;
  const std::string fromDatabase = homeFromPasswordDatabase(nullptr);
  return fromDatabase.empty() ? "/" : fromDatabase;
}

std::string expandTilde(std::string_view path) {
  if (path.empty() || path.front() != '~') return std::string(path);
  const size_t slash = path.find('/');
  const std::string_view user =
      path.substr(1, slash == std::string_view::npos ? path.npos : slash - 1);
  std::string home =
      user.empty() ? homeDirectory() : homeFromPasswordDatabase(std::string(user).c_str());
  if (home.empty()) return std::string(path);
  if (slash == std::string_view::npos) return home;
  return appendPath(home, path.substr(slash + 1));
}

std::string standardizePath(std::string_view rawPath) {
  const std::string path = expandTilde(rawPath);
  if (path.empty()) return path;
  const bool absolute = path.front() == '/';
  std::vector<std::string> kept;
  for (const std::string& component : split(path, '/', true)) {
    if (component == ".") continue;
    if (component == ".." && absolute) {
      if (!kept.empty()) kept.pop_back();
      continue;
    }
    kept.push_back(component);
  }
  const std::string joined = join(kept, "/");
  if (absolute) return "/" + joined;
  return joined.empty() ? path.substr(0, 1) : joined;
}

std::string appendPath(std::string_view base, std::string_view component) {
  std::string joined(base);
  while (!component.empty() && component.front() == '/') component.remove_prefix(1);
  if (component.empty()) return joined;
  if (joined.empty()) return std::string(component);
  if (joined.back() != '/') joined += '/';
  joined += component;
  return joined;
}

std::string lastPathComponent(std::string_view path) {
  while (path.size() > 1 && path.back() == '/') path.remove_suffix(1);
  const size_t slash = path.rfind('/');
  if (slash == std::string_view::npos || path.size() == 1) return std::string(path);
  return std::string(path.substr(slash + 1));
}

std::string parentPath(std::string_view path) {
  while (path.size() > 1 && path.back() == '/') path.remove_suffix(1);
  const size_t slash = path.rfind('/');
  if (slash == std::string_view::npos) return {};
  if (slash == 0) return "/";
  return std::string(path.substr(0, slash));
}

}  // namespace qn
