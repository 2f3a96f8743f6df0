// The built companion's live mirror on a real desktop: frames, the pointer, stills, the close
// button and bad input, seen in screenshots; the alert heard by the session's sound server.
// Runs under with-desktop.sh (1400 x 900 screen, openbox, a PulseAudio null sink).
#include <cstdlib>
#include <fstream>
#include <iterator>
#include <sstream>
#include <string>
#include <vector>

#include <gtest/gtest.h>
#include <nlohmann/json.hpp>

#include "base/ChildProcess.h"
#include "base/Text.h"
#include "tests/e2e/companion/CompanionProcess.h"
#include "tests/support/TestImages.h"
#include "tests/support/TestSupport.h"

namespace qn {
namespace {

using nlohmann::json;

std::string run(const std::string& executable, std::vector<std::string> arguments) {
  return test::runTool(executable, std::move(arguments));
}

// Whether one of the companion's windows is mapped with the geometry "WxH+X+Y".
bool companionWindowAt(const std::string& geometry) {
  for (const auto& line : split(run("/usr/bin/xwininfo", {"-root", "-tree"}), '\n', true)) {
    if (line.find("\"brinket\"") == std::string::npos) continue;
    const size_t at = line.find(" " + geometry + " ");
    if (at == std::string::npos) continue;
    const std::string trimmed = trimWhitespace(line);
    const std::string id = trimmed.substr(0, trimmed.find(' '));
    if (run("/usr/bin/xwininfo", {"-id", id}).find("IsViewable") != std::string::npos) return true;
  }
  return false;
}

struct Rgb {
  int r = -1, g = -1, b = -1;
};

std::ostream& operator<<(std::ostream& out, Rgb c) {
  return out << "(" << c.r << ", " << c.g << ", " << c.b << ")";
}

bool near(Rgb a, Rgb b, int tolerance) {
  return std::abs(a.r - b.r) <= tolerance && std::abs(a.g - b.g) <= tolerance &&
         std::abs(a.b - b.b) <= tolerance;
}

// The whole screen at one moment, kept as a PNG for a look afterwards.
class Screenshot {
 public:
  explicit Screenshot(const std::string& name) {
    const std::string png = std::string(QN_SHOT_DIR) + "/" + name + ".png";
    const std::string raw = std::string(QN_SHOT_DIR) + "/" + name + ".rgb";
    run("/usr/bin/import", {"-window", "root", png});
    run("/usr/bin/convert", {png, "-depth", "8", "rgb:" + raw});
    std::ifstream in(raw, std::ios::binary);
    bytes_.assign(std::istreambuf_iterator<char>(in), {});
  }
  Rgb at(int x, int y) const {
    const size_t i = (size_t(y) * 1400 + size_t(x)) * 3;
    if (i + 2 >= bytes_.size()) return {};
    return Rgb{uint8_t(bytes_[i]), uint8_t(bytes_[i + 1]), uint8_t(bytes_[i + 2])};
  }

 private:
  std::string bytes_;
};

constexpr Rgb kRed{255, 0, 0}, kGreen{0, 255, 0}, kBlue{0, 0, 255}, kWhite{255, 255, 255};
constexpr Rgb kBlack{0, 0, 0}, kStrip{23, 26, 33}, kPictureArea{18, 20, 26};
constexpr Rgb kMagenta{255, 0, 255}, kCyan{0, 255, 255};

// Where the mirror of a 1280 x 800 picture sits beside the tab at (1366, 403): 1000 x 657
// (0.78125 of the picture plus the 32-point strip), 10 points left of the tab, centred on it.
constexpr int kLeft = 356, kTop = 122, kPictureTop = kTop + 32;
const std::string kMirrorGeometry = "1000x657+356+122";

std::string pictureLine(const char* cmd, const std::vector<uint8_t>& bytes, int w, int h) {
  return json{{"cmd", cmd}, {"d", test::encodeBase64(bytes)}, {"w", w}, {"h", h}}.dump();
}

std::vector<uint8_t> quadrantsJpeg() {
  return test::encodeJpeg(1280, 800, [](int x, int y) { return test::quadrants(x, y, 1280, 800); });
}

// The desktop point where the mirror draws the source pixel (x, y) of a 1280 x 800 picture.
int screenX(double x) {
  return kLeft + int(x * 0.78125);
}
int screenY(double y) {
  return kPictureTop + int(y * 0.78125);
}

// Waits until the screen shows the colours at the points; the mismatches of the last
// screenshot otherwise, empty when all matched.
std::string shows(const std::string& name,
                  const std::vector<std::pair<std::pair<int, int>, Rgb>>& want, int tolerance) {
  std::ostringstream mismatches;
  test::eventually(
      [&] {
        mismatches.str("");
        const Screenshot shot(name);
        for (const auto& [point, colour] : want) {
          const Rgb got = shot.at(point.first, point.second);
          if (!near(got, colour, tolerance))
            mismatches << point.first << "," << point.second << ": " << got << " not " << colour
                       << "; ";
        }
        return mismatches.str().empty();
      },
      5);
  return mismatches.str() + (mismatches.str().empty() ? "" : "see " + name + ".png");
}

TEST(MirrorDesktop, FramesPointerStillCloseAndBadInput) {
  CompanionProcess companion({});
  ASSERT_TRUE(test::eventually([] { return companionWindowAt("34x94+1366+403"); }, 10));

  // Before the first frame the mirror has the default picture size of 1234 x 773.
  companion.send(R"({"cmd":"mirror","on":true})");
  ASSERT_TRUE(test::eventually([] { return companionWindowAt("1000x658+356+121"); }, 5));
  EXPECT_EQ("", shows("mirror-placeholder", {{{kLeft + 100, 121 + 32 + 100}, kPictureArea}}, 3));

  companion.send(pictureLine("frame", quadrantsJpeg(), 1280, 800));
  ASSERT_TRUE(test::eventually([] { return companionWindowAt(kMirrorGeometry); }, 5));
  companion.send(R"({"cmd":"cur","x":320,"y":200})");
  // The picture stretched under the strip: each quadrant, and the borders between them where
  // 640 and 400 source pixels land, 500 and 312.5 points into the picture.
  const int px = kLeft + 250;
  const double py = kPictureTop + 156.25;
  EXPECT_EQ("", shows("mirror-frame",
                      {{{screenX(100), screenY(100)}, kRed},
                       {{screenX(1180), screenY(100)}, kGreen},
                       {{screenX(100), screenY(700)}, kBlue},
                       {{screenX(1180), screenY(700)}, kWhite},
                       {{kLeft + 494, screenY(100)}, kRed},
                       {{kLeft + 506, screenY(100)}, kGreen},
                       {{screenX(100), kPictureTop + 306}, kRed},
                       {{screenX(100), kPictureTop + 319}, kBlue},
                       {{856, kTop + 16}, kStrip},
                       {{px + 3, int(py) + 9}, kBlack}},
                      40));

  // The pointer follows "cur"; where it was, the picture shows again.
  companion.send(R"({"cmd":"cur","x":960,"y":600})");
  EXPECT_EQ(
      "", shows("mirror-pointer",
                {{{kLeft + 750 + 3, kPictureTop + 468 + 9}, kBlack}, {{px + 3, int(py) + 9}, kRed}},
                40))
      << "see mirror-pointer.png";

  // Bad base64 changes nothing, and the next line is still answered.
  companion.send(R"({"cmd":"frame","d":"not base64!","w":640,"h":480})");
  companion.send(R"({"cmd":"keys","seq":7})");
  const auto answer = companion.nextEvent(5);
  ASSERT_TRUE(answer);
  EXPECT_EQ((*answer)["seq"], 7);
  EXPECT_TRUE(companionWindowAt(kMirrorGeometry));
  EXPECT_EQ("", shows("mirror-after-bad-line", {{{screenX(100), screenY(100)}, kRed}}, 40));

  // The close button, 29 points into its 58 x 22 at the strip's right end.
  run("/usr/bin/xdotool", {"mousemove", std::to_string(kLeft + 1000 - 66 + 29),
                           std::to_string(kTop + 16), "click", "1"});
  const auto closed = companion.nextEvent(5);
  ASSERT_TRUE(closed);
  EXPECT_EQ(*closed, (json{{"ev", "mirror"}, {"v", false}}));
  EXPECT_TRUE(test::eventually([] { return !companionWindowAt(kMirrorGeometry); }, 5));

  // A still sent while closed shows at once when the mirror opens again.
  const auto still = test::encodePng(640, 400, [](int, int y) {
    return y < 200 ? test::Rgba{255, 0, 255} : test::Rgba{0, 255, 255};
  });
  companion.send(pictureLine("still", still, 640, 400));
  companion.send(R"({"cmd":"mirror","on":true})");
  ASSERT_TRUE(test::eventually([] { return companionWindowAt(kMirrorGeometry); }, 5));
  EXPECT_EQ(
      "",
      shows("mirror-still",
            {{{screenX(100), screenY(100)}, kMagenta}, {{screenX(100), screenY(700)}, kCyan}}, 3));
}

TEST(MirrorDesktop, AlertPlaysOnTheSoundServer) {
  ASSERT_NE(std::getenv("XDG_RUNTIME_DIR"), nullptr) << "run under with-desktop.sh";
  test::TempDir dir;
  const std::string log = dir.file("pactl.log");
  SpawnOptions options;
  options.executable = "/bin/sh";
  options.arguments = {"-c", "exec pactl subscribe > '" + log + "'"};
  options.standardError = ChildOutput::null();
  auto subscriber = ChildProcess::spawn(options, nullptr);
  ASSERT_TRUE(subscriber);
  const auto streams = [&] {
    std::ifstream in(log);
    const std::string text{std::istreambuf_iterator<char>(in), {}};
    return text.find("'new' on sink-input") != std::string::npos;
  };

  CompanionProcess companion({});
  companion.send(R"({"cmd":"keys","seq":1})");
  ASSERT_TRUE(companion.nextEvent(10));
  EXPECT_FALSE(test::eventually(streams, 1)) << "nothing plays before the alert";
  companion.send(R"({"cmd":"alert"})");
  EXPECT_TRUE(test::eventually(streams, 5));
  subscriber->sendSignal(SIGTERM);
  subscriber->waitForExit(5);
}

}  // namespace
}  // namespace qn
