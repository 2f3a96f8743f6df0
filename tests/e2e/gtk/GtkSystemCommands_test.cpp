// The Linux system commands for real: the freedesktop trash, the relaunch script built from the
// Linux commands run by /bin/sh, and the bundle's registration tool. No display is needed.

#include "platform/gtk/GtkSystemCommands.h"

#include <stdlib.h>
#include <unistd.h>

#include <chrono>

#include <gtest/gtest.h>

#include "base/ChildProcess.h"
#include "base/Files.h"
#include "base/Paths.h"
#include "shell/BundleMove.h"
#include "tests/support/TestSupport.h"

namespace qn {
namespace {

// GLib reads the user's folders once, so they are set before the first test: a home and data
// folder on the same file system as the test's files, so trashed files go to the home trash.
struct PrivateFolders {
  PrivateFolders() {
    ::setenv("HOME", home.path().c_str(), 1);
    ::setenv("XDG_DATA_HOME", home.file("data").c_str(), 1);
    ::setenv("XDG_CONFIG_HOME", home.file("config").c_str(), 1);
  }
  test::TempDir home;
};
PrivateFolders folders;

TEST(GtkSystemCommands, TrashesIntoTheUsersTrash) {
  GtkSystemCommands system;
  const std::string target = folders.home.file("Applications/QUENTRA.app");
  createDirectories(target + "/Contents");
  writeFileAtomically(target + "/Contents/old", "the old version");
  std::string error;
  ASSERT_TRUE(system.moveToTrash(target, &error)) << error;
  EXPECT_FALSE(fileExists(target));
  EXPECT_EQ(readFile(folders.home.file("data/Trash/files/QUENTRA.app/Contents/old")),
            "the old version");
  EXPECT_NE(readFile(folders.home.file("data/Trash/info/QUENTRA.app.trashinfo"))
                .value_or("")
                .find("Path=" + target + "\n"),
            std::string::npos);

  EXPECT_FALSE(system.moveToTrash(folders.home.file("missing"), &error));
  EXPECT_NE(error.find("No such file"), std::string::npos) << error;
}

TEST(GtkSystemCommands, TellsAWritableVolume) {
  GtkSystemCommands system;
  EXPECT_EQ(system.volumeIsReadOnly(folders.home.path()), false);
  EXPECT_EQ(system.volumeIsReadOnly(folders.home.file("missing/QUENTRA.app")), std::nullopt);
}

TEST(GtkSystemCommands, PlacesAndFolders) {
  GtkSystemCommands system;
  EXPECT_EQ(system.applicationsFolder(), "/Applications");
  EXPECT_EQ(system.userDefaultsFile(), folders.home.file("config/QUENTRA/defaults.json"));
  const std::string user = lastPathComponent(
      system.volumeFolders().at(0).substr(0, system.volumeFolders().at(0).size() - 1));
  EXPECT_EQ(volumeToEject("/run/media/" + user + "/QN 1.2/QUENTRA.app", system.volumeFolders()),
            "/run/media/" + user + "/QN 1.2");
  EXPECT_EQ(volumeToEject("/media/" + user + "/QN/QUENTRA.app", system.volumeFolders()),
            "/media/" + user + "/QN");
  EXPECT_EQ(volumeToEject("/media/cdrom/QUENTRA.app", system.volumeFolders()), "/media/cdrom");
  EXPECT_EQ(volumeToEject("/home/" + user + "/QUENTRA.app", system.volumeFolders()), "");
}

TEST(GtkSystemCommands, TheBuiltBundleCarriesItsRegistrationTool) {
  GtkSystemCommands system;
  const std::string tool = system.registrationTool(QN_BUNDLE_DIR);
  EXPECT_EQ(tool, std::string(QN_BUNDLE_DIR) + "/Contents/Resources/bin/register_desktop.sh");
  EXPECT_TRUE(isExecutableFile(tool));
}

class RelaunchTest : public ::testing::Test {
 protected:
  // A moved bundle whose executable records its arguments and session.
  RelaunchTest() {
    createDirectories(target_ + "/Contents/MacOS");
    const std::string executable = target_ + "/Contents/MacOS/QUENTRA";
    writeFileAtomically(
        executable, "#!/bin/sh\necho \"$# $(ps -o sid= -p $$)\" > " + dir_.file("started") + "\n");
    ::chmod(executable.c_str(), 0755);
  }

  // Runs the relaunch script for a process that has already ended; its exit status.
  std::optional<int> relaunch(const std::string& volume) {
    SpawnOptions ended;
    ended.executable = "/bin/true";
    const auto gone = ChildProcess::spawn(ended, nullptr);
    gone->waitForExit(5);
    GtkSystemCommands system;
    SpawnOptions script;
    script.executable = "/bin/sh";
    script.arguments = {
        "-c", relaunchScript(gone->pid(), target_, system.openCommand(), system.diskImageCommand()),
        "sh", volume};
    return ChildProcess::run(script);
  }

  test::TempDir dir_;
  std::string target_ = dir_.file("Applications/QUENTRA.app");
};

TEST_F(RelaunchTest, StartsTheMovedBundlesExecutableInItsOwnSession) {
  EXPECT_EQ(relaunch(""), 0);
  ASSERT_TRUE(test::eventually([&] { return fileExists(dir_.file("started")); }, 5));
  const std::string started = readFile(dir_.file("started")).value_or("");
  EXPECT_TRUE(started.starts_with("0 ")) << "no arguments: " << started;
  EXPECT_NE(started, "0 " + std::to_string(::getsid(0)) + "\n") << "detached from ours";
}

TEST_F(RelaunchTest, AFolderThatIsNoVolumeIsLeftAlone) {
  const std::string notMounted = dir_.file("not a volume");
  createDirectories(notMounted);
  writeFileAtomically(notMounted + "/user's file", "kept");
  const auto start = std::chrono::steady_clock::now();
  EXPECT_EQ(relaunch(notMounted), 0) << "an eject that fails is ignored";
  EXPECT_GE(std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count(), 2.0);
  EXPECT_EQ(readFile(notMounted + "/user's file"), "kept");
  EXPECT_TRUE(test::eventually([&] { return fileExists(dir_.file("started")); }, 5));
}

}  // namespace
}  // namespace qn
