// Registration with real tools: recording scripts, a failing and a hanging one, and the bundle's
// own registration script checked through GIO's view of the desktop.

#include "shell/IconRegistration.h"

#include <sys/stat.h>

#include <chrono>
#include <filesystem>

#include <gtest/gtest.h>

#include "base/Decimal.h"
#include "base/Files.h"
#include "base/Processes.h"
#include "base/Text.h"
#include "shell/SimShell_testing.h"
#include "tests/support/TestBundle.h"
#include "tests/support/TestSupport.h"

namespace qn {
namespace {

// A modification date twenty years back.
const std::filesystem::file_time_type longAgo =
    std::filesystem::file_time_type::clock::now() - std::chrono::hours(24 * 365 * 20);

void makeOld(const std::string& path) {
  std::filesystem::last_write_time(path, longAgo);
}

std::string writeTool(const std::string& path, const std::string& body) {
  writeFileAtomically(path, "#!/bin/bash\n" + body);
  ::chmod(path.c_str(), 0755);
  return path;
}

Bundle bundleAt(const std::string& path, nlohmann::json info) {
  Bundle bundle;
  bundle.bundlePath = path;
  bundle.info = std::move(info);
  return bundle;
}

TEST(IconRegistration, StampIsPathAndBuildNumberOfRealBundlesOnly) {
  const struct {
    Bundle bundle;
    std::optional<std::string> stamp;
  } cases[] = {
      {bundleAt("/opt/QUENTRA.app", {{"CFBundleVersion", "42"}}), "/opt/QUENTRA.app|42"},
      {bundleAt("/opt/QUENTRA.app", nlohmann::json::object()), "/opt/QUENTRA.app|"},
      {bundleAt("/opt/QUENTRA.app", {{"CFBundleVersion", 42}}), "/opt/QUENTRA.app|"},
      {bundleAt("/opt/bin", {{"CFBundleVersion", "42"}}), std::nullopt},
      {bundleAt("/private/var/folders/x/AppTranslocation/AB12/d/QUENTRA.app",
                {{"CFBundleVersion", "42"}}),
       std::nullopt},
  };
  for (const auto& c : cases) {
    EXPECT_EQ(iconRegistrationStamp(c.bundle), c.stamp) << c.bundle.bundlePath;
  }
}

TEST(IconRegistration, MarkerIsCurrentOnlyWhenItHoldsTheStamp) {
  test::TempDir dir;
  const std::string marker = dir.file("icon_registered");
  const std::string stamp = "/opt/QUENTRA.app|42";
  EXPECT_FALSE(iconRegistrationIsCurrent(marker, stamp)) << "missing";
  const struct {
    std::string text;
    bool current;
  } cases[] = {
      {stamp, true},
      {" \n" + stamp + "\r\n", true},
      {"/opt/QUENTRA.app|41", false},
      {"/opt/QUENTRA.app", false},
      {"\xff\xfe" + stamp, false},
      {std::string("\0\0junk", 6), false},
      {"", false},
  };
  for (const auto& c : cases) {
    writeFileAtomically(marker, c.text);
    EXPECT_EQ(iconRegistrationIsCurrent(marker, stamp), c.current) << c.text;
  }
}

class RegisterBundleTest : public ::testing::Test {
 protected:
  RegisterBundleTest() {
    createDirectories(bundle_);
    makeOld(bundle_);
  }
  bool touched() const { return std::filesystem::last_write_time(bundle_) > longAgo; }

  test::TempDir dir_;
  std::string bundle_ = dir_.file("Some Place/QUENTRA.app");
  std::string marker_ = dir_.file("data/icon_registered");
  std::string stamp_ = bundle_ + "|7";

  void SetUp() override { createDirectories(dir_.file("data")); }
};

TEST_F(RegisterBundleTest, ASuccessfulToolLeavesTheMarker) {
  const std::string tool =
      writeTool(dir_.file("tool"), "printf '%s\\n' \"$@\" > " + dir_.file("args") + "\nexit 0\n");
  EXPECT_TRUE(registerBundle(bundle_, tool, stamp_, marker_));
  EXPECT_EQ(readFile(marker_), stamp_);
  EXPECT_EQ(readFile(dir_.file("args")), "-f\n" + bundle_ + "\n");
  EXPECT_TRUE(touched());
}

TEST_F(RegisterBundleTest, AMissingOrFailingToolLeavesNoMarker) {
  writeFileAtomically(marker_, "junk from before");
  const std::string notExecutable = dir_.file("plain");
  writeFileAtomically(notExecutable, "#!/bin/bash\nexit 0\n");
  const struct {
    std::string name;
    std::string tool;
  } cases[] = {
      {"missing", dir_.file("missing")},
      {"not executable", notExecutable},
      {"a folder", dir_.path()},
      {"fails", writeTool(dir_.file("fails"), "exit 3\n")},
      {"killed", writeTool(dir_.file("killed"), "kill -KILL $$\n")},
  };
  for (const auto& c : cases) {
    makeOld(bundle_);
    EXPECT_FALSE(registerBundle(bundle_, c.tool, stamp_, marker_)) << c.name;
    EXPECT_EQ(readFile(marker_), "junk from before") << c.name;
    EXPECT_TRUE(touched()) << c.name << ": the bundle is touched before the tool is looked at";
  }
}

TEST_F(RegisterBundleTest, AHangingToolIsStoppedAtItsBound) {
  // It starts a helper that hangs too, and ignores the request to end, so it has to be killed.
  const std::string tool = writeTool(
      dir_.file("hangs"), "sleep 60 &\necho $! > " + dir_.file("helper") + "\necho $$ > " +
                              dir_.file("pid") + "\ntrap '' TERM\nexec sleep 60\n");
  const auto start = std::chrono::steady_clock::now();
  EXPECT_FALSE(registerBundle(bundle_, tool, stamp_, marker_));
  const double took =
      std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
  EXPECT_GE(took, 10.0);
  EXPECT_LT(took, 12.5);
  EXPECT_FALSE(fileExists(marker_));
  const auto pid = parseInt32(trimWhitespace(readFile(dir_.file("pid")).value_or("")));
  ASSERT_TRUE(pid);
  EXPECT_TRUE(test::eventually([&] { return !processExists(*pid); }, 2)) << "killed and reaped";
  const auto helper = parseInt32(trimWhitespace(readFile(dir_.file("helper")).value_or("")));
  ASSERT_TRUE(helper);
  EXPECT_TRUE(test::eventually([&] { return !processExists(*helper); }, 2)) << "stopped too";
}

TEST_F(RegisterBundleTest, TheBundlesScriptInstallsTheEntryAndTheSchemeHandler) {
  // A bundle whose path needs quoting in a desktop entry. (A "%" would be written as "%%", which
  // GIO does not read back: it is left out here.)
  const std::string bundle = dir_.file("a $b\"c `d`/QUENTRA.app");
  createDirectories(bundle + "/Contents/Resources");
  createDirectories(bundle + "/Contents/MacOS");
  writeFileAtomically(bundle + "/Contents/Resources/quentra.desktop",
                      readFile(QN_DESKTOP_ENTRY).value_or(""));
  writeTool(bundle + "/Contents/MacOS/QUENTRA", "echo \"$@\" > " + dir_.file("opened") + "\n");
  const std::string config = dir_.file("config");
  createDirectories(config);
  writeFileAtomically(config + "/mimeapps.list",
                      "[Added Associations]\ntext/plain=editor.desktop\n\n[Default Applications]\n"
                      "text/html=browser.desktop\nx-scheme-handler/quentra=old.desktop\n");
  test::ScopedEnv data("XDG_DATA_HOME", dir_.file("data-home"));
  test::ScopedEnv configHome("XDG_CONFIG_HOME", config);

  ASSERT_TRUE(registerBundle(bundle, QN_REGISTER_DESKTOP, bundle + "|7", marker_));
  EXPECT_EQ(readFile(marker_), bundle + "|7");
  const std::string entry =
      readFile(dir_.file("data-home/applications/quentra.desktop")).value_or("");
  EXPECT_NE(entry.find("\nExec=\"" + dir_.path() +
                       "/a \\\\$b\\\\\"c \\\\`d\\\\`/QUENTRA.app/Contents/MacOS/QUENTRA\" "
                       "%u\n"),
            std::string::npos)
      << entry;
  EXPECT_NE(entry.find("\nMimeType=x-scheme-handler/quentra;\n"), std::string::npos);
  EXPECT_EQ(readFile(config + "/mimeapps.list"),
            "[Added Associations]\ntext/plain=editor.desktop\n\n[Default Applications]\n"
            "x-scheme-handler/quentra=quentra.desktop\ntext/html=browser.desktop\n");

  // The desktop now hands quentra: links to the bundle's executable.
  EXPECT_NE(
      test::runTool("/usr/bin/gio", {"mime", "x-scheme-handler/quentra"}).find("quentra.desktop"),
      std::string::npos);
  test::runTool("/usr/bin/gio", {"open", "quentra://open?thread=1"});
  EXPECT_TRUE(test::eventually([&] { return fileExists(dir_.file("opened")); }, 5));
  EXPECT_EQ(readFile(dir_.file("opened")), "quentra://open?thread=1\n");
}

TEST_F(RegisterBundleTest, TheBundlesScriptWritesAPercentSignAsTwo) {
  const std::string bundle = dir_.file("100%/QUENTRA.app");
  createDirectories(bundle + "/Contents/Resources");
  createDirectories(bundle + "/Contents/MacOS");
  writeFileAtomically(bundle + "/Contents/Resources/quentra.desktop",
                      readFile(QN_DESKTOP_ENTRY).value_or(""));
  writeTool(bundle + "/Contents/MacOS/QUENTRA", "exit 0\n");
  test::ScopedEnv data("XDG_DATA_HOME", dir_.file("data-home"));
  test::ScopedEnv configHome("XDG_CONFIG_HOME", dir_.file("config"));
  ASSERT_TRUE(registerBundle(bundle, QN_REGISTER_DESKTOP, bundle + "|7", marker_));
  EXPECT_NE(
      readFile(dir_.file("data-home/applications/quentra.desktop"))
          .value_or("")
          .find("\nExec=\"" + dir_.path() + "/100%%/QUENTRA.app/Contents/MacOS/QUENTRA\" %u\n"),
      std::string::npos);
  EXPECT_EQ(readFile(dir_.file("config/mimeapps.list")),
            "[Default Applications]\nx-scheme-handler/quentra=quentra.desktop\n");
}

TEST_F(RegisterBundleTest, TheBundlesScriptRefusesWhatIsNotABundle) {
  test::ScopedEnv data("XDG_DATA_HOME", dir_.file("data-home"));
  test::ScopedEnv configHome("XDG_CONFIG_HOME", dir_.file("config"));
  EXPECT_FALSE(registerBundle(bundle_, QN_REGISTER_DESKTOP, stamp_, marker_));
  EXPECT_FALSE(fileExists(marker_));
  EXPECT_FALSE(fileExists(dir_.file("data-home/applications/quentra.desktop")));
  EXPECT_FALSE(fileExists(dir_.file("config/mimeapps.list")));
}

// The launch's part: the tool named by QUENTRA_LSREGISTER runs in the background, and only when
// the marker does not hold this bundle's stamp.
class RefreshRegistrationTest : public ::testing::Test {
 protected:
  RefreshRegistrationTest() {
    test::TestBundleOptions options;
    options.version = "9";
    bundle_ = test::makeTestBundle(dir_.path(), options);
    createDirectories(dir_.file("data"));
    writeTool(tool_, "echo \"$@\" >> " + dir_.file("runs") + "\n");
  }

  void launch(const std::string& marker) {
    if (!marker.empty()) writeFileAtomically(dir_.file("data/icon_registered"), marker);
    test::SimShell shell(test::bundleExecutable(bundle_), {"--data-dir", dir_.file("data")},
                         Environment({{"QUENTRA_LSREGISTER", tool_}}));
    shell.delegate->config = AppConfig(dir_.file("data"));
    shell.delegate->refreshIconRegistrationIfNeeded();
  }

  std::string stamp() const { return bundle_ + "|9"; }

  test::TempDir dir_;
  std::string bundle_;
  std::string tool_ = dir_.file("tool");
};

TEST_F(RefreshRegistrationTest, AJunkMarkerIsReplacedAfterTheToolRuns) {
  launch("\x01\xff junk");
  EXPECT_TRUE(
      test::eventually([&] { return readFile(dir_.file("data/icon_registered")) == stamp(); }, 5));
  EXPECT_EQ(readFile(dir_.file("runs")), "-f " + bundle_ + "\n");
}

TEST_F(RefreshRegistrationTest, TheSameBundleAndBuildAreNotRegisteredAgain) {
  launch(stamp() + "\n");
  // Long enough for a background run of the tool to have happened.
  sleepSeconds(0.5);
  EXPECT_FALSE(fileExists(dir_.file("runs")));
  EXPECT_EQ(readFile(dir_.file("data/icon_registered")), stamp() + "\n");
}

}  // namespace
}  // namespace qn
