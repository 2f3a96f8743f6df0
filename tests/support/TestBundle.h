#pragma once

#include <string>

namespace qn::test {

// Lays out <dir>/QUENTRA.app as the build does: the runtime linked to this machine's node and
// the reference service script copied in, each optional.
struct TestBundleOptions {
  bool withRuntime = true;
  bool withScript = true;
  std::string version = "7";
  // The text of app/macapp/update_helper.sh; none when empty.
  std::string updateHelper;
};
std::string makeTestBundle(const std::string& dir, const TestBundleOptions& options = {});

// The executable path inside a bundle made by makeTestBundle.
std::string bundleExecutable(const std::string& bundle);

// This machine's node, from PATH.
std::string nodeExecutable();

}  // namespace qn::test
