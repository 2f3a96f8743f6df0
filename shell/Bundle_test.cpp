#include "shell/Bundle.h"

#include <gtest/gtest.h>

#include "base/Files.h"
#include "tests/support/TestSupport.h"

namespace qn {
namespace {

TEST(Bundle, FindsResourcesAndInformationInsideABundle) {
  test::TempDir dir;
  createDirectories(dir.file("Q.app/Contents/MacOS"));
  createDirectories(dir.file("Q.app/Contents/Resources"));
  writeFileAtomically(dir.file("Q.app/Contents/Info.json"), R"({"CFBundleVersion": "42", "N": 1})");
  const Bundle bundle = Bundle::forExecutable(dir.file("Q.app/Contents/MacOS/QUENTRA"));
  EXPECT_EQ(bundle.bundlePath, dir.file("Q.app"));
  EXPECT_EQ(bundle.resourcesPath, dir.file("Q.app/Contents/Resources"));
  EXPECT_EQ(bundle.infoString("CFBundleVersion"), "42");
  EXPECT_EQ(bundle.infoString("N"), std::nullopt);
  EXPECT_EQ(bundle.infoString("Missing"), std::nullopt);
}

TEST(Bundle, OutsideABundleThereAreNoResources) {
  test::TempDir dir;
  createDirectories(dir.file("bin"));
  const Bundle plain = Bundle::forExecutable(dir.file("bin/QUENTRA"));
  EXPECT_EQ(plain.bundlePath, dir.file("bin"));
  EXPECT_EQ(plain.resourcesPath, std::nullopt);

  createDirectories(dir.file("Q.app/Contents/MacOS"));
  writeFileAtomically(dir.file("Q.app/Contents/Info.json"), "not json {");
  const Bundle broken = Bundle::forExecutable(dir.file("Q.app/Contents/MacOS/QUENTRA"));
  EXPECT_EQ(broken.resourcesPath, std::nullopt);  // no Resources folder
  EXPECT_EQ(broken.infoString("CFBundleVersion"), std::nullopt);
}

}  // namespace
}  // namespace qn
