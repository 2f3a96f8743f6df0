#include "base/Files.h"

#include <gtest/gtest.h>
#include <sys/stat.h>

#include <filesystem>

#include "tests/support/TestSupport.h"

namespace qn {
namespace {

TEST(Files, AtomicWriteReplacesContentsAndLeavesNoTemporary) {
  test::TempDir dir;
  const std::string path = dir.file("service.pid");
  ASSERT_TRUE(writeFileAtomically(path, "1234"));
  ASSERT_TRUE(writeFileAtomically(path, "56"));
  EXPECT_EQ(readFile(path), "56");
  size_t entries = 0;
  for ([[maybe_unused]] const auto& entry : std::filesystem::directory_iterator(dir.path()))
    ++entries;
  EXPECT_EQ(entries, 1u);
}

TEST(Files, AtomicWriteFailsWithoutTouchingTheTarget) {
  test::TempDir dir;
  EXPECT_FALSE(writeFileAtomically(dir.file("missing/dir/file"), "x"));
  // A directory in the way cannot be replaced by a file.
  ASSERT_TRUE(createDirectories(dir.file("taken")));
  EXPECT_FALSE(writeFileAtomically(dir.file("taken"), "x"));
  EXPECT_TRUE(isDirectory(dir.file("taken")));
}

TEST(Files, Utf8ReadRejectsInvalidText) {
  test::TempDir dir;
  ASSERT_TRUE(writeFileAtomically(dir.file("good"), "\xE4\xB8\xAD"));
  ASSERT_TRUE(writeFileAtomically(dir.file("bad"), "12\xFF"));
  EXPECT_EQ(readUtf8File(dir.file("good")), "\xE4\xB8\xAD");
  EXPECT_EQ(readUtf8File(dir.file("bad")), std::nullopt);
  EXPECT_EQ(readUtf8File(dir.file("none")), std::nullopt);
  EXPECT_EQ(readUtf8File(dir.path()), std::nullopt);
}

TEST(Files, AppendCreatesThenAppends) {
  test::TempDir dir;
  ASSERT_TRUE(appendToFile(dir.file("log"), "a\n"));
  ASSERT_TRUE(appendToFile(dir.file("log"), "b\n"));
  EXPECT_EQ(readFile(dir.file("log")), "a\nb\n");
  EXPECT_EQ(fileSize(dir.file("log")), 4u);
}

TEST(Files, ExecutableTestFollowsLinksAndWantsARegularFile) {
  test::TempDir dir;
  ASSERT_TRUE(writeFileAtomically(dir.file("tool"), "#!/bin/sh\n"));
  EXPECT_FALSE(isExecutableFile(dir.file("tool")));
  ::chmod(dir.file("tool").c_str(), 0755);
  EXPECT_TRUE(isExecutableFile(dir.file("tool")));
  std::filesystem::create_symlink(dir.file("tool"), dir.file("link"));
  EXPECT_TRUE(isExecutableFile(dir.file("link")));
  EXPECT_FALSE(isExecutableFile(dir.path()));
  EXPECT_EQ(resolveSymlinks(dir.file("link")), resolveSymlinks(dir.file("tool")));
}

}  // namespace
}  // namespace qn
