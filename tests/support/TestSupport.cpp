#include "tests/support/TestSupport.h"

#include <cstdlib>
#include <filesystem>

#include "base/ChildProcess.h"

namespace qn::test {

TempDir::TempDir() {
  std::string pattern = (std::filesystem::temp_directory_path() / "qn-test-XXXXXX").string();
  path_ = ::mkdtemp(pattern.data());
}

TempDir::~TempDir() {
  std::error_code error;
  std::filesystem::remove_all(path_, error);
}

ScopedEnv::ScopedEnv(const char* name, std::optional<std::string> value) : name_(name) {
  if (const char* old = std::getenv(name)) previous_ = old;
  if (value) {
    ::setenv(name, value->c_str(), 1);
  } else {
    ::unsetenv(name);
  }
}

std::string runTool(const std::string& executable, std::vector<std::string> arguments) {
  SpawnOptions options;
  options.executable = executable;
  options.arguments = std::move(arguments);
  options.standardError = ChildOutput::null();
  std::string output;
  ChildProcess::run(options, &output);
  return output;
}

ScopedEnv::~ScopedEnv() {
  if (previous_) {
    ::setenv(name_.c_str(), previous_->c_str(), 1);
  } else {
    ::unsetenv(name_.c_str());
  }
}

}  // namespace qn::test
