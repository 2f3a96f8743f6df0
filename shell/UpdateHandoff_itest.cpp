#include <gtest/gtest.h>
#include <signal.h>
#include <sys/stat.h>
#include <unistd.h>

#include <filesystem>

#include "base/Files.h"
#include "base/Processes.h"
#include "base/Text.h"
#include "shell/SimShell_testing.h"
#include "tests/support/FakeHttpServer.h"
#include "tests/support/TestBundle.h"
#include "tests/support/TestSupport.h"

namespace qn {
namespace {

// A service that asks for an update (exit 75) as soon as it listens, from a bundle whose update
// script only records its arguments.
class UpdateHandoffTest : public ::testing::Test {
 protected:
  void SetUp() override {
    createDirectories(dataDir_ + "/updates");
    createDirectories(dir_.file("staged/QUENTRA.app"));
    bundle_ = test::makeTestBundle(dir_.path(), {.updateHelper = "printf '%s\\n' \"$0\" \"$@\" > " +
                                                                 dir_.file("recorded") + "\n"});
  }

  std::unique_ptr<test::SimShell> launch() {
    Environment environment = Environment::current();
    environment.set("QUENTRA_TEST_EXIT_CODE", "75");
    // Started with short options only, the bundle would otherwise be offered a move first.
    environment.set("QUENTRA_NO_MOVE_PROMPT", "1");
    auto shell = std::make_unique<test::SimShell>(
        test::bundleExecutable(bundle_),
        std::vector<std::string>{"-p", std::to_string(test::unusedPort()), "-d", dataDir_},
        environment);
    shell->delegate->applicationDidFinishLaunching();
    return shell;
  }

  // Runs the main loop until the shell exits or has restarted the service `restarts` times.
  static void pump(test::SimShell& shell, double seconds) {
    test::eventually(
        [&] {
          shell.loop.runPending();
          return shell.exitStatus.has_value();
        },
        seconds);
  }

  void writeHandoff(const std::string& text, const std::string& dataDir = "") {
    writeFileAtomically((dataDir.empty() ? dataDir_ : dataDir) + "/updates/pending.json", text);
  }

  test::TempDir dir_;
  std::string dataDir_ = dir_.file("data");
  std::string bundle_;
  test::ScopedEnv home_{"HOME", dir_.file("home")};
};

TEST_F(UpdateHandoffTest, ValidHandoffStartsTheScriptAndExitsZero) {
  writeHandoff(R"({"stagingAppPath": ")" + dir_.file("staged/QUENTRA.app") + R"(", "x": 1})");
  testing::internal::CaptureStdout();
  auto shell = launch();
  pump(*shell, 10);
  const std::string output = testing::internal::GetCapturedStdout();
  ASSERT_EQ(shell->exitStatus, 0) << output;
  EXPECT_TRUE(shell->alerts.shown.empty()) << "no quit question";
  const std::string script = bundle_ + "/Contents/Resources/app/macapp/update_helper.sh";
  ASSERT_TRUE(test::eventually([&] { return fileExists(dir_.file("recorded")); }, 5));
  test::eventually([&] { return readFile(dir_.file("recorded"))->ends_with(dataDir_ + "\n"); }, 2);
  EXPECT_EQ(split(*readFile(dir_.file("recorded")), '\n', true),
            (std::vector<std::string>{script, std::to_string(::getpid()), bundle_,
                                      dir_.file("staged/QUENTRA.app"), dataDir_}));
  EXPECT_NE(output.find("[QUENTRA] 内置服务进程退出 (code 75)"), std::string::npos);
  EXPECT_NE(output.find("[QUENTRA] 启动更新辅助脚本: " + script + " " + std::to_string(::getpid()) +
                        " " + bundle_ + " " + dir_.file("staged/QUENTRA.app")),
            std::string::npos);
  EXPECT_NE(
      readFile(dataDir_ + "/logs/tmux_trace.log")->find("①b 外壳收到 exit 75、交给更新脚本前"),
      std::string::npos);
  EXPECT_TRUE(fileExists(dataDir_ + "/updates/pending.json")) << "the shell leaves the file alone";
}

TEST_F(UpdateHandoffTest, CurrentPathAndTheDefaultDataDirectoryFallback) {
  const std::string defaultData = dir_.file("home/Library/Application Support/QUENTRA");
  createDirectories(defaultData + "/updates");
  removeFile(dataDir_ + "/updates/pending.json");
  writeHandoff(R"({"stagingAppPath": ")" + dir_.file("staged/QUENTRA.app") +
                   R"(", "currentAppPath": "/Apps/Old.app"})",
               defaultData);
  auto shell = launch();
  pump(*shell, 10);
  ASSERT_EQ(shell->exitStatus, 0);
  ASSERT_TRUE(test::eventually(
      [&] { return readFile(dir_.file("recorded")).value_or("").ends_with(dataDir_ + "\n"); }, 5));
  EXPECT_EQ(split(*readFile(dir_.file("recorded")), '\n', true)[2], "/Apps/Old.app");
}

TEST_F(UpdateHandoffTest, InvalidHandoffsRestartTheServiceWithTheirLine) {
  struct Case {
    const char* name;
    std::optional<std::string> handoff;
    bool removeScript;
    std::string line;
  };
  const std::string missing = dir_.file("deleted/QUENTRA.app");
  const Case cases[] = {
      {"no file", std::nullopt, false,
       "[QUENTRA] 退出码为 75，但未找到 pending.json，跳过自动更新并重新启动内置服务"},
      {"not JSON", "{oops", false, "[QUENTRA] pending.json 中的 stagingAppPath 无效: \n"},
      {"staging deleted", R"({"stagingAppPath": ")" + missing + R"("})", false,
       "[QUENTRA] pending.json 中的 stagingAppPath 无效: " + missing},
      {"staging not a string", R"({"stagingAppPath": 5})", false,
       "[QUENTRA] pending.json 中的 stagingAppPath 无效: \n"},
      {"script missing", R"({"stagingAppPath": ")" + dir_.file("staged/QUENTRA.app") + R"("})",
       true,
       "[QUENTRA] 未找到更新辅助脚本: " + bundle_ +
           "/Contents/Resources/app/macapp/update_helper.sh"},
  };
  for (const Case& c : cases) {
    removeFile(dataDir_ + "/updates/pending.json");
    if (c.handoff) writeHandoff(*c.handoff);
    if (c.removeScript) removeFile(bundle_ + "/Contents/Resources/app/macapp/update_helper.sh");
    testing::internal::CaptureStdout();
    auto shell = launch();
    const auto first = shell->delegate->serverProcess;
    ASSERT_TRUE(first) << c.name;
    // Wait for the restart: a new child replaces the one that asked for the update.
    test::eventually(
        [&] {
          shell->loop.runPending();
          return shell->delegate->serverProcess != first;
        },
        10);
    const auto second = shell->delegate->serverProcess;
    second->waitForExit(10);
    const std::string output = testing::internal::GetCapturedStdout();
    EXPECT_FALSE(shell->exitStatus) << c.name;
    EXPECT_NE(second, first) << c.name;
    EXPECT_NE(output.find(c.line), std::string::npos) << c.name << "\n" << output;
  }
}

TEST_F(UpdateHandoffTest, RepeatedFailedHandoffsStopRestartingAfterFive) {
  testing::internal::CaptureStdout();
  auto shell = launch();
  int starts = 1;
  std::shared_ptr<ChildProcess> last = shell->delegate->serverProcess;
  test::eventually(
      [&] {
        shell->loop.runPending();
        if (shell->delegate->serverProcess != last) {
          last = shell->delegate->serverProcess;
          ++starts;
        }
        return false;
      },
      6);
  const std::string output = testing::internal::GetCapturedStdout();
  EXPECT_EQ(starts, 6) << output;
  EXPECT_NE(output.find("[QUENTRA] 60 秒内已重启内置服务 5 次，不再重启"), std::string::npos);
  // The wait of the last start ends on the error page.
  shell->loop.advance(20);
  ASSERT_FALSE(shell->webView().loads.empty());
  EXPECT_EQ(shell->webView().loads.back().kind, SimWebView::Load::Kind::HTML);
}

TEST(UpdateHelperScript, InstallsTheStagedBundleAfterTheShellEndsAndStartsIt) {
  test::TempDir dir;
  const auto makeApp = [&](const std::string& path, const std::string& marker) {
    createDirectories(path + "/Contents/MacOS");
    const std::string exe = path + "/Contents/MacOS/QUENTRA";
    writeFileAtomically(exe,
                        "#!/bin/sh\necho \"" + marker + " $*\" > " + dir.file("started") + "\n");
    ::chmod(exe.c_str(), 0755);
  };
  makeApp(dir.file("Apps/QUENTRA.app"), "old");
  writeFileAtomically(dir.file("Apps/QUENTRA.app/old-only"), "x");
  makeApp(dir.file("staged/QUENTRA.app"), "new");
  createDirectories(dir.file("data/updates"));
  writeFileAtomically(dir.file("data/updates/pending.json"), "{}");

  SpawnOptions shellOptions;
  shellOptions.executable = "/bin/sh";
  shellOptions.arguments = {"-c", "while :; do sleep 0.05; done"};
  auto oldShell = ChildProcess::spawn(shellOptions, nullptr);
  SpawnOptions options;
  options.executable = "/bin/bash";
  options.arguments = {QN_UPDATE_HELPER, std::to_string(oldShell->pid()),
                       dir.file("Apps/QUENTRA.app"), dir.file("staged/QUENTRA.app"),
                       dir.file("data")};
  auto helper = ChildProcess::spawn(options, nullptr);
  sleepSeconds(0.4);
  EXPECT_TRUE(helper->isRunning()) << "waits while the old shell runs";
  EXPECT_TRUE(fileExists(dir.file("Apps/QUENTRA.app/old-only")));
  oldShell->sendSignal(SIGKILL);
  ASSERT_TRUE(helper->waitForExit(10));
  EXPECT_EQ(helper->terminationStatus(), 0);
  ASSERT_TRUE(test::eventually([&] { return fileExists(dir.file("started")); }, 5));
  test::eventually([&] { return readFile(dir.file("started"))->ends_with("\n"); }, 2);
  EXPECT_EQ(readFile(dir.file("started")), "new --data-dir " + dir.file("data") + "\n");
  EXPECT_FALSE(fileExists(dir.file("Apps/QUENTRA.app/old-only")));
  EXPECT_FALSE(fileExists(dir.file("data/updates/pending.json")));
  size_t entries = 0;
  for ([[maybe_unused]] const auto& e : std::filesystem::directory_iterator(dir.file("Apps")))
    ++entries;
  EXPECT_EQ(entries, 1u) << "no half-installed copies are left beside the bundle";
}

TEST(UpdateHelperScript, AStagedCopyWithoutTheShellLeavesTheOldBundle) {
  test::TempDir dir;
  createDirectories(dir.file("Apps/QUENTRA.app/Contents/MacOS"));
  writeFileAtomically(dir.file("Apps/QUENTRA.app/keep"), "x");
  createDirectories(dir.file("staged/QUENTRA.app"));
  SpawnOptions options;
  options.executable = "/bin/bash";
  options.arguments = {QN_UPDATE_HELPER, "999999999", dir.file("Apps/QUENTRA.app"),
                       dir.file("staged/QUENTRA.app"), dir.file("data")};
  EXPECT_EQ(ChildProcess::run(options), 1);
  EXPECT_TRUE(fileExists(dir.file("Apps/QUENTRA.app/keep")));
  EXPECT_NE(readFile(dir.file("data/logs/update.log")).value_or("").find("no QUENTRA executable"),
            std::string::npos);
}

}  // namespace
}  // namespace qn
