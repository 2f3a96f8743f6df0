#include "tests/e2e/shell/ShellDesktop.h"

#include <signal.h>
#include <sys/stat.h>

#include <cstdlib>
#include <filesystem>

#include "base/Decimal.h"
#include "base/Environment.h"
#include "base/Files.h"
#include "base/Text.h"
#include "tests/support/TestBundle.h"

namespace qn::test {

std::string run(const std::string& executable, std::vector<std::string> arguments) {
  return runTool(executable, std::move(arguments));
}

std::vector<std::string> shellWindows() {
  return split(run("/usr/bin/xdotool", {"search", "--onlyvisible", "--name", "^QUENTRA$"}), '\n',
               true);
}

std::pair<int, int> windowSize(const std::string& id) {
  const std::string info = run("/usr/bin/xwininfo", {"-id", id});
  const auto field = [&](const std::string& name) {
    const size_t at = info.find(name);
    if (at == std::string::npos) return -1;
    const size_t end = info.find('\n', at);
    return static_cast<int>(
        parseInt64(trimWhitespace(info.substr(at + name.size(), end - at - name.size())))
            .value_or(-1));
  };
  return {field("Width:"), field("Height:")};
}

bool screenShows(const std::string& hexColour, const std::string& shotPath) {
  run("/usr/bin/import", {"-window", "root", shotPath});
  const std::string histogram =
      run("/usr/bin/convert", {shotPath, "-format", "%c", "histogram:info:-"});
  return histogram.find(hexColour) != std::string::npos;
}

std::string recordDefaultApplication(const std::string& folder,
                                     const std::vector<std::string>& types) {
  const std::string recorded = folder + "/opened";
  const std::string script = folder + "/default-application.sh";
  const char* dataHome = std::getenv("XDG_DATA_HOME");
  const char* configHome = std::getenv("XDG_CONFIG_HOME");
  EXPECT_TRUE(dataHome && configHome) << "run under with-desktop.sh";
  if (!dataHome || !configHome) return recorded;
  writeFileAtomically(script, "#!/bin/sh\necho \"$1\" >> " + recorded + "\n");
  ::chmod(script.c_str(), 0755);
  createDirectories(std::string(dataHome) + "/applications");
  std::string mimeTypes, defaults;
  for (const std::string& type : types) {
    mimeTypes += type + ";";
    defaults += type + "=qn-test-default.desktop\n";
  }
  writeFileAtomically(std::string(dataHome) + "/applications/qn-test-default.desktop",
                      "[Desktop Entry]\nType=Application\nName=Test Default\nExec=" + script +
                          " %u\nMimeType=" + mimeTypes + "\n");
  writeFileAtomically(std::string(configHome) + "/mimeapps.list",
                      "[Default Applications]\n" + defaults);
  return recorded;
}

std::shared_ptr<ChildProcess> ShellDesktopTest::launch(const std::string& bundle, int port,
                                                       std::vector<std::string> extra) {
  SpawnOptions options;
  options.executable = bundle + "/Contents/MacOS/QUENTRA";
  options.arguments = {"--port", std::to_string(port), "--data-dir", dataDir_};
  options.arguments.insert(options.arguments.end(), extra.begin(), extra.end());
  Environment environment = Environment::current();
  if (lang_) {
    environment.set("QUENTRA_LANG", *lang_);
  } else {
    environment.erase("QUENTRA_LANG");
  }
  options.environment = environment.toList();
  auto shell = ChildProcess::spawn(options, nullptr);
  if (shell) running_.push_back(shell);
  return shell;
}

void ShellDesktopTest::stop(const std::shared_ptr<ChildProcess>& shell) {
  shell->sendSignal(SIGTERM);
  ASSERT_TRUE(shell->waitForExit(10));
  EXPECT_EQ(shell->terminationStatus(), 0);
}

std::string ShellDesktopTest::log() {
  return readFile(dataDir_ + "/logs/server.log").value_or("");
}

std::string ShellDesktopTest::bundleWithoutRuntime() {
  TestBundleOptions noRuntime;
  noRuntime.withRuntime = false;
  const std::string bundle = makeTestBundle(dir_.path(), noRuntime);
  std::error_code error;
  std::filesystem::copy_file(std::string(QN_BUNDLE_DIR) + "/Contents/MacOS/QUENTRA",
                             bundle + "/Contents/MacOS/QUENTRA", error);
  return bundle;
}

bool ShellDesktopTest::waitForPage(size_t logOffset) {
  return eventually(
      [&] {
        const std::string text = log();
        return text.size() > logOffset && text.find(" GET / 200", logOffset) != std::string::npos;
      },
      20);
}

ShellDesktopTest::~ShellDesktopTest() {
  for (const auto& shell : running_) {
    shell->sendSignal(SIGKILL);
    shell->waitForExit(5);
  }
}

}  // namespace qn::test
