#include <gtest/gtest.h>
#include <signal.h>

#include <chrono>

#include "base/Files.h"
#include "base/Processes.h"
#include "shell/LegacyService.h"
#include "shell/SimShell_testing.h"
#include "tests/support/TestBundle.h"
#include "tests/support/TestSupport.h"

namespace qn {
namespace {

class LegacyCleanupTest : public ::testing::Test {
 protected:
  LegacyCleanupTest() {
    bundle_ = test::makeTestBundle(dir_.path());
    resources_ = bundle_ + "/Contents/Resources";
    createDirectories(dataDir_);
  }

  std::unique_ptr<test::SimShell> shell() {
    auto shell = std::make_unique<test::SimShell>(test::bundleExecutable(bundle_),
                                                  std::vector<std::string>{"-d", dataDir_});
    shell->delegate->config = AppConfig(dataDir_);
    return shell;
  }

  // Sleeps in short steps, so nothing outlives the shell by more than a moment once it is killed.
  static constexpr const char* idle = "while :; do sleep 0.05; done";

  // A process whose command line names the given runtime and script.
  static std::shared_ptr<ChildProcess> impostor(const std::string& script,
                                                const std::string& root) {
    SpawnOptions options;
    options.executable = "/bin/sh";
    options.arguments = {"-c", script, root + "/node/bin/node", root + "/app/server.js"};
    return ChildProcess::spawn(options, nullptr);
  }

  void writePid(const std::string& text) { writeFileAtomically(dataDir_ + "/service.pid", text); }
  bool pidFileExists() { return fileExists(dataDir_ + "/service.pid"); }

  test::TempDir dir_;
  std::string dataDir_ = dir_.file("data");
  std::string bundle_;
  std::string resources_;
};

TEST_F(LegacyCleanupTest, StopsALeftoverServiceOfThisCopy) {
  auto leftover = impostor(idle, resources_);
  ASSERT_TRUE(leftover);
  writePid(" " + std::to_string(leftover->pid()) + "\n");
  shell()->delegate->cleanupLegacyServerIfNeeded();
  EXPECT_FALSE(leftover->isRunning());
  EXPECT_EQ(leftover->terminationStatus(), SIGTERM);
  EXPECT_FALSE(pidFileExists());
}

TEST_F(LegacyCleanupTest, KillsALeftoverThatIgnoresTerminate) {
  auto stubborn = impostor("trap '' TERM; while :; do sleep 0.05; done", resources_);
  ASSERT_TRUE(stubborn);
  sleepSeconds(0.2);  // let the shell install its trap
  writePid(std::to_string(stubborn->pid()));
  const auto start = std::chrono::steady_clock::now();
  shell()->delegate->cleanupLegacyServerIfNeeded();
  const double elapsed =
      std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
  EXPECT_TRUE(stubborn->waitForExit(2));
  EXPECT_EQ(stubborn->terminationStatus(), SIGKILL);
  EXPECT_GE(elapsed, 2.0);
  EXPECT_LE(elapsed, 4.0);
  EXPECT_FALSE(pidFileExists());
}

TEST_F(LegacyCleanupTest, OtherProgramsAndDeadPidsOnlyLoseTheFile) {
  // Another copy of the application: its paths differ from this copy's resources.
  auto other = impostor(idle, dir_.file("Other.app/Contents/Resources"));
  ASSERT_TRUE(other);
  writePid(std::to_string(other->pid()));
  shell()->delegate->cleanupLegacyServerIfNeeded();
  EXPECT_TRUE(other->isRunning());
  EXPECT_FALSE(pidFileExists());
  other->sendSignal(SIGKILL);
  other->waitForExit(5);

  writePid(std::to_string(other->pid()));  // now dead
  shell()->delegate->cleanupLegacyServerIfNeeded();
  EXPECT_FALSE(pidFileExists());
}

TEST_F(LegacyCleanupTest, UnusablePidFilesAreLeftAlone) {
  for (const std::string text :
       {"abc", "0", "-5", "", "  \n", "12 34", "99999999999", "\xFF\xFE"}) {
    writePid(text);
    shell()->delegate->cleanupLegacyServerIfNeeded();
    EXPECT_TRUE(pidFileExists()) << "'" << text << "'";
  }
  removeFile(dataDir_ + "/service.pid");
  shell()->delegate->cleanupLegacyServerIfNeeded();  // no file at all
  EXPECT_FALSE(pidFileExists());
}

TEST(LegacyService, RootsIncludeResolvedPathsAndPrivateTwins) {
  test::TempDir dir;
  createDirectories(dir.file("real/Resources"));
  std::error_code error;
  std::filesystem::create_symlink(dir.file("real"), dir.file("link"), error);
  const auto roots = resourceRoots(dir.file("link/Resources"));
  const std::string resolved = *resolveSymlinks(dir.file("real/Resources"));
  EXPECT_EQ(roots, (std::set<std::string>{dir.file("link/Resources"),
                                          "/private" + dir.file("link/Resources"), resolved,
                                          "/private" + resolved}));
  EXPECT_EQ(resourceRoots(std::string("/private/var/Q.app/Contents/Resources")),
            (std::set<std::string>{"/private/var/Q.app/Contents/Resources",
                                   "/var/Q.app/Contents/Resources"}));
  EXPECT_EQ(resourceRoots(std::nullopt),
            (std::set<std::string>{"/nonexistent", "/private/nonexistent"}));
}

TEST(LegacyService, CommandLineMustNameRuntimeAndScriptUnderOneRoot) {
  const std::set<std::string> roots =
      resourceRoots(std::string("/private/var/Q.app/Contents/Resources"));
  const std::pair<const char*, bool> cases[] = {
      {"/var/Q.app/Contents/Resources/node/bin/node /var/Q.app/Contents/Resources/app/server.js",
       true},
      {"/private/var/Q.app/Contents/Resources/node/bin/node "
       "/private/var/Q.app/Contents/Resources/app/server.js",
       true},
      {"/var/Q.app/Contents/Resources/node/bin/node /other/app/server.js", false},
      {"node /var/Q.app/Contents/Resources/app/server.js", false},
      {"", false},
  };
  for (const auto& [commandLine, expected] : cases) {
    EXPECT_EQ(isLeftoverService(commandLine, roots), expected) << commandLine;
  }
}

}  // namespace
}  // namespace qn
