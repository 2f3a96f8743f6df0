#include "tests/support/TestBundle.h"

#include <cstdlib>
#include <filesystem>

#include "base/Files.h"
#include "base/Paths.h"
#include "base/Text.h"

namespace qn::test {

std::string nodeExecutable() {
  const char* path = std::getenv("PATH");
  for (const std::string& folder : split(path ? path : "/usr/bin:/bin", ':', true)) {
    const std::string candidate = appendPath(folder, "node");
    if (isExecutableFile(candidate)) return candidate;
  }
  return "/usr/bin/node";
}

std::string makeTestBundle(const std::string& dir, const TestBundleOptions& options) {
  const std::string bundle = appendPath(dir, "QUENTRA.app");
  const std::string resources = appendPath(bundle, "Contents/Resources");
  createDirectories(appendPath(bundle, "Contents/MacOS"));
  createDirectories(appendPath(resources, "node/bin"));
  createDirectories(appendPath(resources, "app"));
  writeFileAtomically(appendPath(bundle, "Contents/Info.json"),
                      R"({"CFBundleVersion": ")" + options.version + R"("})");
  std::error_code error;
  if (options.withRuntime) {
    std::filesystem::create_symlink(nodeExecutable(), appendPath(resources, "node/bin/node"),
                                    error);
  }
  if (options.withScript) {
    std::filesystem::copy_file(QN_SERVICE_SCRIPT, appendPath(resources, "app/server.js"), error);
  }
  if (!options.updateHelper.empty()) {
    createDirectories(appendPath(resources, "app/macapp"));
    writeFileAtomically(appendPath(resources, "app/macapp/update_helper.sh"), options.updateHelper);
  }
  return bundle;
}

std::string bundleExecutable(const std::string& bundle) {
  return appendPath(bundle, "Contents/MacOS/QUENTRA");
}

}  // namespace qn::test
