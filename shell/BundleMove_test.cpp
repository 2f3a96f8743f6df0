#include "shell/BundleMove.h"

#include <sys/stat.h>

#include <algorithm>
#include <filesystem>

#include <gtest/gtest.h>

#include "base/Files.h"
#include "tests/support/TestSupport.h"

namespace qn {
namespace {

namespace fs = std::filesystem;

TEST(BundleMove, VolumeToEjectIsTheVolumeFolderAndTheNextComponent) {
  const std::vector<std::string> volumes = {"/Volumes/"};
  const std::vector<std::string> linux = {"/run/media/ann/", "/media/ann/", "/media/"};
  const struct {
    std::string path;
    std::vector<std::string> folders;
    std::string volume;
  } cases[] = {
      {"/Volumes/QUENTRA 1.2/QUENTRA.app", volumes, "/Volumes/QUENTRA 1.2"},
      {"/Volumes//Disk/Sub/QUENTRA.app", volumes, "/Volumes/Disk"},
      {"/Volumes/QUENTRA.app", volumes, "/Volumes/QUENTRA.app"},
      {"/Users/ann/Downloads/QUENTRA.app", volumes, ""},
      {"/VolumesX/Disk/QUENTRA.app", volumes, ""},
      {"/run/media/ann/QN/QUENTRA.app", linux, "/run/media/ann/QN"},
      {"/media/ann/QN/QUENTRA.app", linux, "/media/ann/QN"},
      {"/media/cdrom/QUENTRA.app", linux, "/media/cdrom"},
      {"/home/ann/QUENTRA.app", linux, ""},
  };
  for (const auto& c : cases) {
    EXPECT_EQ(volumeToEject(c.path, c.folders), c.volume) << c.path;
  }
}

TEST(BundleMove, RelaunchScriptWaitsOpensAndEjects) {
  EXPECT_EQ(relaunchScript(4242, "/Applications/QUENTRA.app", "/usr/bin/open", "/usr/bin/hdiutil"),
            "while kill -0 4242 2>/dev/null; do sleep 0.2; done\n"
            "/usr/bin/open \"/Applications/QUENTRA.app\"\n"
            "if [ -n \"$1\" ]; then sleep 2; /usr/bin/hdiutil detach \"$1\" -quiet || true; fi");
}

TEST(BundleMove, ReadOnlyVolumesAndUnwritableFoldersCopy) {
  const struct {
    std::optional<bool> readOnly;
    bool writable;
    Placement placement;
  } cases[] = {
      {true, true, Placement::Copy},         {true, false, Placement::Copy},
      {false, true, Placement::Move},        {false, false, Placement::Copy},
      {std::nullopt, true, Placement::Move}, {std::nullopt, false, Placement::Copy},
  };
  for (const auto& c : cases) {
    EXPECT_EQ(placementFor(c.readOnly, c.writable), c.placement)
        << c.readOnly.value_or(false) << " " << c.writable;
  }
}

// A small bundle with an executable, a nested file and a link, as the real one has.
std::string makeBundle(const std::string& dir) {
  const std::string bundle = dir + "/QUENTRA.app";
  createDirectories(bundle + "/Contents/MacOS");
  createDirectories(bundle + "/Contents/Resources/app");
  writeFileAtomically(bundle + "/Contents/MacOS/QUENTRA", "#!/bin/sh\n");
  ::chmod((bundle + "/Contents/MacOS/QUENTRA").c_str(), 0755);
  writeFileAtomically(bundle + "/Contents/Resources/app/server.js", "// service\n");
  fs::create_symlink("/usr/bin/env", bundle + "/Contents/Resources/node");
  return bundle;
}

void expectBundleAt(const std::string& bundle) {
  EXPECT_TRUE(isExecutableFile(bundle + "/Contents/MacOS/QUENTRA"));
  EXPECT_EQ(readFile(bundle + "/Contents/Resources/app/server.js"), "// service\n");
  std::error_code error;
  EXPECT_EQ(fs::read_symlink(bundle + "/Contents/Resources/node", error), "/usr/bin/env");
}

std::vector<std::string> namesIn(const std::string& dir) {
  std::vector<std::string> names;
  for (const auto& entry : fs::directory_iterator(dir)) names.push_back(entry.path().filename());
  std::sort(names.begin(), names.end());
  return names;
}

TEST(BundleMove, CopyPlacesACompleteBundleAndKeepsTheOriginal) {
  test::TempDir dir;
  const std::string source = makeBundle(dir.file("image"));
  createDirectories(dir.file("Applications"));
  std::string error;
  ASSERT_TRUE(copyBundle(source, dir.file("Applications/QUENTRA.app"), &error)) << error;
  expectBundleAt(dir.file("Applications/QUENTRA.app"));
  expectBundleAt(source);
  EXPECT_EQ(namesIn(dir.file("Applications")), std::vector<std::string>{"QUENTRA.app"});
}

TEST(BundleMove, AFailedCopyLeavesNothingBehindAndTouchesNothingElse) {
  test::TempDir dir;
  const std::string source = makeBundle(dir.file("image"));
  std::string error;
  EXPECT_FALSE(copyBundle(source, dir.file("missing/QUENTRA.app"), &error));
  EXPECT_FALSE(error.empty());
  EXPECT_FALSE(fileExists(dir.file("missing")));

  // A target that appeared meanwhile is not replaced, and the copy made for it is removed.
  createDirectories(dir.file("Applications/QUENTRA.app/Contents"));
  writeFileAtomically(dir.file("Applications/QUENTRA.app/Contents/mine"), "user's");
  error.clear();
  EXPECT_FALSE(copyBundle(source, dir.file("Applications/QUENTRA.app"), &error));
  EXPECT_FALSE(error.empty());
  EXPECT_EQ(readFile(dir.file("Applications/QUENTRA.app/Contents/mine")), "user's");
  EXPECT_EQ(namesIn(dir.file("Applications")), std::vector<std::string>{"QUENTRA.app"});
  expectBundleAt(source);
}

TEST(BundleMove, MoveRenamesTheBundle) {
  test::TempDir dir;
  const std::string source = makeBundle(dir.file("Downloads"));
  createDirectories(dir.file("Applications"));
  std::string error;
  ASSERT_TRUE(moveBundle(source, dir.file("Applications/QUENTRA.app"), &error)) << error;
  expectBundleAt(dir.file("Applications/QUENTRA.app"));
  EXPECT_FALSE(fileExists(source));

  error.clear();
  const std::string again = makeBundle(dir.file("Again"));
  EXPECT_FALSE(moveBundle(again, dir.file("missing/QUENTRA.app"), &error));
  EXPECT_EQ(error, "No such file or directory");
  expectBundleAt(again);
}

TEST(BundleMove, MoveAcrossFileSystemsCopiesThenRemovesTheOriginal) {
  struct stat tmp {
  }, shm{};
  test::TempDir dir;
  if (::stat(dir.path().c_str(), &tmp) != 0 || ::stat("/dev/shm", &shm) != 0 ||
      tmp.st_dev == shm.st_dev) {
    GTEST_SKIP() << "needs /dev/shm on another file system than the temporary folder";
  }
  std::string other = "/dev/shm/qn-move-XXXXXX";
  ASSERT_TRUE(::mkdtemp(other.data()));
  const std::string source = makeBundle(other);
  createDirectories(dir.file("Applications"));
  std::string error;
  const bool moved = moveBundle(source, dir.file("Applications/QUENTRA.app"), &error);
  std::error_code ignored;
  const bool sourceLeft = fs::exists(source, ignored);
  fs::remove_all(other, ignored);
  ASSERT_TRUE(moved) << error;
  expectBundleAt(dir.file("Applications/QUENTRA.app"));
  EXPECT_FALSE(sourceLeft);
  EXPECT_EQ(namesIn(dir.file("Applications")), std::vector<std::string>{"QUENTRA.app"});
}

}  // namespace
}  // namespace qn
