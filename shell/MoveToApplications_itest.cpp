// The move offer with temporary folders standing in for the applications folder, the user's
// home, the trash and the defaults; the bundles, the running copy and the relaunch script are
// real files and processes.

#include <signal.h>
#include <unistd.h>

#include <filesystem>

#include <gtest/gtest.h>

#include "base/Files.h"
#include "base/Processes.h"
#include "base/Text.h"
#include "shell/BundleMove.h"
#include "shell/SimShell_testing.h"
#include "shell/UserDefaults.h"
#include "tests/support/TestSupport.h"

namespace qn {
namespace {

namespace fs = std::filesystem;

// Lays out <dir>/QUENTRA.app with an identifier of this test process's own, so running copies
// of other tests or of a real shell never match it.
std::string makeBundle(const std::string& dir, const std::string& executableSource = "") {
  const std::string bundle = dir + "/QUENTRA.app";
  createDirectories(bundle + "/Contents/MacOS");
  createDirectories(bundle + "/Contents/Resources");
  writeFileAtomically(bundle + "/Contents/Info.json", R"({"CFBundleIdentifier": "test.quentra.)" +
                                                          std::to_string(::getpid()) +
                                                          R"(", "CFBundleVersion": "7"})");
  std::error_code error;
  if (executableSource.empty()) {
    writeFileAtomically(bundle + "/Contents/MacOS/QUENTRA", "#!/bin/sh\n");
  } else {
    fs::copy_file(executableSource, bundle + "/Contents/MacOS/QUENTRA", error);
  }
  ::chmod((bundle + "/Contents/MacOS/QUENTRA").c_str(), 0755);
  writeFileAtomically(bundle + "/Contents/Resources/from", dir);
  return bundle;
}

using Scripts = std::vector<std::pair<pid_t, std::vector<std::string>>>;

// The argument vectors of the relaunch scripts this process started (they wait for it to end).
Scripts relaunchScripts() {
  std::vector<std::pair<pid_t, std::vector<std::string>>> found;
  const std::string waitsForUs = "while kill -0 " + std::to_string(::getpid()) + " ";
  std::error_code error;
  for (const auto& entry : fs::directory_iterator("/proc", error)) {
    std::string cmdline = readFile(entry.path() / "cmdline").value_or("");
    // Each argument ends with a NUL.
    if (!cmdline.empty()) cmdline.pop_back();
    const auto arguments = split(cmdline, '\0', false);
    if (arguments.size() < 3 || !arguments[2].starts_with(waitsForUs)) continue;
    // Not the script's own subshells, which show its arguments until they run the next command.
    const pid_t pid = std::stoi(entry.path().filename().string());
    if (parentProcessId(pid) == ::getpid()) found.emplace_back(pid, arguments);
  }
  return found;
}

// The relaunch scripts once one has shown its arguments: a process shows them only a moment
// after it has been started.
Scripts startedRelaunchScripts() {
  test::eventually([] { return !relaunchScripts().empty(); }, 5);
  return relaunchScripts();
}

class MoveToApplicationsTest : public ::testing::Test {
 protected:
  MoveToApplicationsTest() {
    createDirectories(dir_.file("Applications"));
    createDirectories(dir_.file("Trash"));
    createDirectories(dir_.file("home"));
  }

  // The scripts wait for this process; they must not outlive the test. (A test that starts one
  // waits until it shows its arguments, so it is found here.)
  ~MoveToApplicationsTest() override {
    for (const auto& [pid, arguments] : relaunchScripts()) {
      ::kill(pid, SIGKILL);
      test::eventually([pid] { return !processExists(pid); }, 5);
    }
  }

  test::SimShell& shell(const std::string& bundle, std::vector<std::string> arguments = {},
                        Environment environment = Environment()) {
    shell_ = std::make_unique<test::SimShell>(bundle + "/Contents/MacOS/QUENTRA",
                                              std::move(arguments), std::move(environment));
    shell_->system.applications = dir_.file("Applications");
    shell_->system.trashFolder = dir_.file("Trash");
    shell_->system.defaultsFile = defaultsFile();
    return *shell_;
  }

  std::string defaultsFile() const { return dir_.file("config/QUENTRA/defaults.json"); }
  std::string target() const { return dir_.file("Applications/QUENTRA.app"); }

  test::TempDir dir_;
  test::ScopedEnv lang_{"QUENTRA_LANG", "en"};
  test::ScopedEnv home_{"HOME", dir_.file("home")};
  std::unique_ptr<test::SimShell> shell_;
};

TEST_F(MoveToApplicationsTest, LaunchesThatAreNeverAsked) {
  const std::string downloaded = makeBundle(dir_.file("Downloads"));
  const struct {
    std::string name;
    std::string bundle;
    std::vector<std::string> arguments;
    Environment::Variables environment;
    bool asks;
  } cases[] = {
      {"in the applications folder", makeBundle(dir_.file("Applications")), {}, {}, false},
      {"below it", makeBundle(dir_.file("Applications/Tools")), {}, {}, false},
      {"in the home's Applications", makeBundle(dir_.file("home/Applications")), {}, {}, false},
      {"prompt suppressed", downloaded, {}, {{"QUENTRA_NO_MOVE_PROMPT", "1"}}, false},
      {"prompt variable not 1", downloaded, {}, {{"QUENTRA_NO_MOVE_PROMPT", "yes"}}, true},
      {"a port variable", downloaded, {}, {{"QUENTRA_PORT", ""}}, false},
      {"a data directory variable", downloaded, {}, {{"QUENTRA_DATA_DIR", "/x"}}, false},
      {"a long option", downloaded, {"--port", "9000"}, {}, false},
      {"a long option after others", downloaded, {"-p", "9000", "--anything"}, {}, false},
      {"short options only", downloaded, {"-p", "9000"}, {}, true},
      {"not a bundle", dir_.file("bin"), {}, {}, false},
      {"a downloaded bundle", downloaded, {}, {}, true},
  };
  for (const auto& c : cases) {
    auto& sim = shell(c.bundle, c.arguments, Environment(c.environment));
    sim.alerts.answers = {1};
    EXPECT_FALSE(sim.delegate->offerMoveToApplicationsIfNeeded()) << c.name;
    EXPECT_EQ(sim.alerts.shown.size(), c.asks ? 1u : 0u) << c.name;
    EXPECT_FALSE(sim.delegate->hasTerminated()) << c.name;
  }
  EXPECT_TRUE(fileExists(downloaded)) << "nothing was moved";
  EXPECT_TRUE(relaunchScripts().empty());
}

TEST_F(MoveToApplicationsTest, AsksWithTheCheckBox) {
  auto& sim = shell(makeBundle(dir_.file("Downloads")));
  sim.alerts.answers = {1};
  sim.delegate->offerMoveToApplicationsIfNeeded();
  ASSERT_EQ(sim.alerts.shown.size(), 1u);
  const AlertOptions& offer = sim.alerts.shown[0];
  EXPECT_EQ(offer.style, AlertStyle::Informational);
  EXPECT_EQ(offer.message, "Move QUENTRA to the Applications folder?");
  EXPECT_EQ(offer.informative,
            "QUENTRA needs to run from the Applications folder for one-click updates. Click "
            "\"Move to Applications\" and it will move itself and reopen.");
  EXPECT_EQ(offer.buttons, (std::vector<std::string>{"Move to Applications", "Not Now"}));
  EXPECT_EQ(sim.alerts.checkBoxes[0], "Don't ask again");
}

TEST_F(MoveToApplicationsTest, AsksInChinese) {
  test::ScopedEnv zh("QUENTRA_LANG", "zh");
  auto& sim = shell(makeBundle(dir_.file("Downloads")));
  sim.alerts.answers = {1};
  sim.delegate->offerMoveToApplicationsIfNeeded();
  ASSERT_EQ(sim.alerts.shown.size(), 1u);
  EXPECT_EQ(sim.alerts.shown[0].message, "把 QUENTRA 移到“应用程序”文件夹？");
  EXPECT_EQ(sim.alerts.shown[0].informative,
            "QUENTRA 需要放在“应用程序”文件夹里运行，才能正常使用一键更新。"
            "点“移到应用程序”后会自动完成并重新打开。");
  EXPECT_EQ(sim.alerts.shown[0].buttons, (std::vector<std::string>{"移到应用程序", "暂不移动"}));
  EXPECT_EQ(sim.alerts.checkBoxes[0], "不再询问");
}

TEST_F(MoveToApplicationsTest, NotNowWithTheBoxTickedIsNeverAskedAgain) {
  const std::string bundle = makeBundle(dir_.file("Downloads"));
  // Closing the alert counts as any answer but the first.
  for (const int answer : {1, -1}) {
    fs::remove_all(dir_.file("config"));
    auto& first = shell(bundle);
    first.alerts.answers = {answer};
    first.alerts.checkBoxAnswers = {true};
    EXPECT_FALSE(first.delegate->offerMoveToApplicationsIfNeeded());
    EXPECT_TRUE(UserDefaults(defaultsFile()).boolForKey("skipMoveToApplications")) << answer;

    auto& later = shell(bundle);
    EXPECT_FALSE(later.delegate->offerMoveToApplicationsIfNeeded());
    EXPECT_TRUE(later.alerts.shown.empty()) << answer;
  }
  EXPECT_TRUE(fileExists(bundle));
}

TEST_F(MoveToApplicationsTest, NotNowWithoutTheBoxAsksAgain) {
  const std::string bundle = makeBundle(dir_.file("Downloads"));
  auto& first = shell(bundle);
  first.alerts.answers = {1};
  EXPECT_FALSE(first.delegate->offerMoveToApplicationsIfNeeded());
  EXPECT_FALSE(fileExists(defaultsFile()));
  auto& later = shell(bundle);
  later.alerts.answers = {1};
  later.delegate->offerMoveToApplicationsIfNeeded();
  EXPECT_EQ(later.alerts.shown.size(), 1u);
}

TEST_F(MoveToApplicationsTest, MovesRelaunchesAndTerminatesWithoutStoringTheBox) {
  const std::string bundle = makeBundle(dir_.file("Downloads"));
  auto& sim = shell(bundle);
  sim.alerts.answers = {0};
  sim.alerts.checkBoxAnswers = {true};
  EXPECT_TRUE(sim.delegate->offerMoveToApplicationsIfNeeded());

  EXPECT_FALSE(fileExists(bundle)) << "moved, not copied";
  EXPECT_EQ(readFile(target() + "/Contents/Resources/from"), dir_.file("Downloads"));
  EXPECT_FALSE(UserDefaults(defaultsFile()).boolForKey("skipMoveToApplications"));
  EXPECT_EQ(sim.alerts.shown.size(), 1u) << "no error";
  EXPECT_TRUE(sim.system.trashed.empty());
  EXPECT_TRUE(sim.delegate->internalQuit);
  EXPECT_TRUE(sim.delegate->hasTerminated());
  EXPECT_TRUE(sim.loop.quitRequested());

  const auto scripts = startedRelaunchScripts();
  ASSERT_EQ(scripts.size(), 1u);
  const std::string pid = std::to_string(::getpid());
  EXPECT_EQ(
      scripts[0].second,
      (std::vector<std::string>{
          "/bin/sh", "-c",
          "while kill -0 " + pid + " 2>/dev/null; do sleep 0.2; done\n/usr/bin/open \"" + target() +
              "\"\nif [ -n \"$1\" ]; then sleep 2; /usr/bin/hdiutil detach \"$1\" -quiet || "
              "true; fi",
          "sh", ""}));
  EXPECT_EQ(::getsid(scripts[0].first), scripts[0].first) << "in a session of its own";
}

TEST_F(MoveToApplicationsTest, AReadOnlySourceIsCopied) {
  const std::string bundle = makeBundle(dir_.file("image"));
  auto& sim = shell(bundle);
  sim.system.readOnlyFolders = std::vector<std::string>{dir_.file("image")};
  sim.alerts.answers = {0};
  EXPECT_TRUE(sim.delegate->offerMoveToApplicationsIfNeeded());
  EXPECT_EQ(readFile(target() + "/Contents/Resources/from"), dir_.file("image"));
  EXPECT_TRUE(isExecutableFile(target() + "/Contents/MacOS/QUENTRA"));
  EXPECT_TRUE(fileExists(bundle + "/Contents/Resources/from")) << "the original stays";
  EXPECT_EQ(startedRelaunchScripts().size(), 1u);
}

TEST_F(MoveToApplicationsTest, WhenTheVolumeCannotBeToldTheWritableFolderMoves) {
  const std::string bundle = makeBundle(dir_.file("Downloads"));
  auto& sim = shell(bundle);
  sim.system.readOnlyFolders = std::nullopt;
  sim.alerts.answers = {0};
  EXPECT_TRUE(sim.delegate->offerMoveToApplicationsIfNeeded());
  EXPECT_FALSE(fileExists(bundle));
  EXPECT_TRUE(fileExists(target() + "/Contents/Resources/from"));
  EXPECT_EQ(startedRelaunchScripts().size(), 1u);
}

TEST_F(MoveToApplicationsTest, AnExistingTargetGoesToTheTrashFirst) {
  createDirectories(target() + "/Contents");
  writeFileAtomically(target() + "/Contents/old", "the old version");
  const std::string bundle = makeBundle(dir_.file("Downloads"));
  auto& sim = shell(bundle);
  sim.alerts.answers = {0};
  EXPECT_TRUE(sim.delegate->offerMoveToApplicationsIfNeeded());
  EXPECT_EQ(sim.system.trashed, std::vector<std::string>{target()});
  EXPECT_EQ(readFile(dir_.file("Trash/1-QUENTRA.app/Contents/old")), "the old version");
  EXPECT_FALSE(fileExists(target() + "/Contents/old"));
  EXPECT_EQ(readFile(target() + "/Contents/Resources/from"), dir_.file("Downloads"));
  EXPECT_EQ(startedRelaunchScripts().size(), 1u);
}

TEST_F(MoveToApplicationsTest, ATrashFailureLeavesEverythingInPlace) {
  createDirectories(target() + "/Contents");
  writeFileAtomically(target() + "/Contents/old", "the old version");
  const std::string bundle = makeBundle(dir_.file("Downloads"));
  auto& sim = shell(bundle);
  sim.system.trashError = "The trash is full.";
  sim.alerts.answers = {0};
  EXPECT_FALSE(sim.delegate->offerMoveToApplicationsIfNeeded());
  ASSERT_EQ(sim.alerts.shown.size(), 2u);
  const AlertOptions& error = sim.alerts.shown[1];
  EXPECT_EQ(error.style, AlertStyle::Warning);
  EXPECT_EQ(error.message, "QUENTRA");
  EXPECT_EQ(error.informative,
            "Couldn't move QUENTRA to the Applications folder: The trash is full.\nPlease drag "
            "QUENTRA to Applications manually.");
  EXPECT_EQ(error.buttons, std::vector<std::string>{"OK"});
  EXPECT_EQ(readFile(target() + "/Contents/old"), "the old version");
  EXPECT_TRUE(fileExists(bundle + "/Contents/Resources/from"));
  EXPECT_FALSE(sim.delegate->internalQuit);
  EXPECT_FALSE(sim.delegate->hasTerminated());
  EXPECT_TRUE(relaunchScripts().empty());
}

TEST_F(MoveToApplicationsTest, AFailedMoveSaysWhyInChinese) {
  test::ScopedEnv zh("QUENTRA_LANG", "zh");
  fs::remove_all(dir_.file("Applications"));
  const std::string bundle = makeBundle(dir_.file("Downloads"));
  auto& sim = shell(bundle);
  sim.alerts.answers = {0};
  EXPECT_FALSE(sim.delegate->offerMoveToApplicationsIfNeeded());
  ASSERT_EQ(sim.alerts.shown.size(), 2u);
  EXPECT_EQ(sim.alerts.shown[1].informative,
            "没能移到“应用程序”文件夹：No such file or directory\n请手动把 QUENTRA "
            "拖到“应用程序”文件夹。");
  EXPECT_EQ(sim.alerts.shown[1].buttons, std::vector<std::string>{"好"});
  EXPECT_TRUE(fileExists(bundle + "/Contents/Resources/from"));
  EXPECT_FALSE(sim.delegate->hasTerminated());
}

TEST_F(MoveToApplicationsTest, ACopyRunningFromTheTargetIsLeftAlone) {
  // The running copy is a real process whose executable sits in the target bundle.
  makeBundle(dir_.file("Applications"), "/bin/sleep");
  SpawnOptions options;
  options.executable = target() + "/Contents/MacOS/QUENTRA";
  options.arguments = {"30"};
  const auto running = ChildProcess::spawn(options, nullptr);
  ASSERT_TRUE(running);

  const std::string bundle = makeBundle(dir_.file("Downloads"));
  auto& sim = shell(bundle);
  sim.alerts.answers = {0};
  const bool terminating = sim.delegate->offerMoveToApplicationsIfNeeded();
  running->sendSignal(SIGKILL);
  running->waitForExit(5);

  EXPECT_FALSE(terminating);
  ASSERT_EQ(sim.alerts.shown.size(), 2u);
  EXPECT_EQ(sim.alerts.shown[1].informative,
            "QUENTRA in Applications is running. Please quit it and try again.");
  EXPECT_EQ(sim.alerts.shown[1].style, AlertStyle::Warning);
  EXPECT_TRUE(sim.system.trashed.empty());
  EXPECT_TRUE(fileExists(bundle + "/Contents/Resources/from"));
  EXPECT_EQ(readFile(target() + "/Contents/Resources/from"), dir_.file("Applications"));
}

}  // namespace
}  // namespace qn
