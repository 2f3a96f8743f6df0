// The main window as the X server and the window manager see it.

#include <gdk-pixbuf/gdk-pixbuf.h>
#include <glib/gstdio.h>
#include <gtest/gtest.h>

#include <array>
#include <cstdlib>

#include "tests/e2e/gtk/RecordingDelegate.h"
#include "tests/e2e/gtk/TestDesktop.h"

namespace qn::test {
namespace {

constexpr int kScreenWidth = 1400;
constexpr int kScreenHeight = 900;

using Rgb = std::array<int, 3>;

// Within one step per channel: colour conversions may round either way.
bool near(const Rgb& seen, const Rgb& expected) {
  for (size_t c = 0; c < seen.size(); ++c) {
    if (std::abs(seen[c] - expected[c]) > 1) return false;
  }
  return true;
}

class MainWindowTest : public ::testing::Test {
 protected:
  // A window set up the way the shell sets up its own, under a title unique to the test.
  std::unique_ptr<MainWindow> open(const std::string& title, Size content = {1240, 820}) {
    auto window = desktop().windows().createMainWindow(content);
    window->center();
    window->setTitle(title);
    window->setMinSize({800, 600});
    window->setBackground({0.11, 0.11, 0.12, 1.0});
    window->present();
    return window;
  }

  // The window's X id once the window manager has mapped it.
  std::string mappedId(const std::string& title) {
    std::string id;
    EXPECT_TRUE(spinUntil([&] {
      auto found = findXWindow(title);
      auto info = found ? xWindowInfo(*found) : std::nullopt;
      if (info && info->viewable) id = *found;
      return !id.empty();
    })) << title;
    return id;
  }

  XWindowInfo infoOf(const std::string& id) { return xWindowInfo(id).value_or(XWindowInfo{}); }
};

TEST_F(MainWindowTest, OpensCentredWithTheContentSizeAndTitle) {
  auto window = open("QN geometry");
  std::string id = mappedId("QN geometry");
  ASSERT_FALSE(id.empty());

  XWindowInfo info = infoOf(id);
  EXPECT_EQ(info.width, 1240);
  EXPECT_EQ(info.height, 820);
  // The frame's title bar may push the content down by its height.
  EXPECT_NEAR(info.x + info.width / 2, kScreenWidth / 2, 2);
  EXPECT_NEAR(info.y + info.height / 2, kScreenHeight / 2, 40);
  EXPECT_TRUE(window->isVisible());
}

TEST_F(MainWindowTest, CannotBeMadeSmallerThanItsMinimumSize) {
  auto window = open("QN min size");
  std::string id = mappedId("QN min size");
  ASSERT_FALSE(id.empty());

  runTool({"xdotool", "windowsize", "--sync", id, "1000", "700"});
  EXPECT_TRUE(spinUntil([&] { return infoOf(id).width == 1000; }));
  EXPECT_EQ(infoOf(id).height, 700);

  runTool({"xdotool", "windowsize", id, "300", "200"});
  spinFor(0.5);
  XWindowInfo info = infoOf(id);
  EXPECT_EQ(info.width, 800);
  EXPECT_EQ(info.height, 600);
}

TEST_F(MainWindowTest, PresentActivatesTheWindow) {
  auto first = open("QN first");
  std::string firstId = mappedId("QN first");
  auto second = open("QN second");
  std::string secondId = mappedId("QN second");
  ASSERT_FALSE(firstId.empty());
  ASSERT_FALSE(secondId.empty());
  EXPECT_TRUE(spinUntil([&] { return activeXWindow() == secondId; }));

  first->present();

  EXPECT_TRUE(spinUntil([&] { return activeXWindow() == firstId; }));
}

// The close button hides the window; the same window and its web view come back on present().
TEST_F(MainWindowTest, TheCloseButtonHidesAndPresentBringsItBack) {
  auto window = open("QN close");
  WebView& view = window->createWebView({});
  RecordingDelegate delegate;
  view.setDelegate(&delegate);
  view.loadHTML("<p>kept</p>");
  ASSERT_TRUE(spinUntil([&] { return delegate.finished == 1; }));
  window->present();
  std::string id = mappedId("QN close");
  ASSERT_FALSE(id.empty());

  askWindowManagerToClose(id);

  EXPECT_TRUE(spinUntil([&] { return !window->isVisible(); }));
  EXPECT_TRUE(spinUntil([&] { return !infoOf(id).viewable; }));
  EXPECT_EQ(findXWindow("QN close"), id);

  window->present();

  EXPECT_TRUE(window->isVisible());
  EXPECT_TRUE(spinUntil([&] { return infoOf(id).viewable; }));
  EXPECT_EQ(view.currentURL(), "about:blank");
  EXPECT_EQ(delegate.finished, 1);
  view.setDelegate(nullptr);
}

TEST_F(MainWindowTest, HideAndMinimiseMakeTheWindowInvisible) {
  auto window = open("QN minimise");
  std::string id = mappedId("QN minimise");
  ASSERT_FALSE(id.empty());

  window->hide();
  EXPECT_FALSE(window->isVisible());
  EXPECT_TRUE(spinUntil([&] { return !infoOf(id).viewable; }));

  window->present();
  EXPECT_TRUE(spinUntil([&] { return infoOf(id).viewable; }));
  runTool({"xdotool", "windowminimize", "--sync", id});
  EXPECT_TRUE(spinUntil([&] { return !window->isVisible(); }));

  window->present();
  EXPECT_TRUE(spinUntil([&] { return window->isVisible() && infoOf(id).viewable; }));
}

// The window's colour shows through a page that paints no background; the page's own content
// still paints over it.
TEST_F(MainWindowTest, TheDarkBackgroundShowsBehindATransparentPage) {
  auto window = open("QN background");
  WebView& view = window->createWebView({});
  RecordingDelegate delegate;
  view.setDelegate(&delegate);
  view.loadHTML(
      "<body style='margin:0'><div style='width:100px;height:100px;background:#f00'></div>");
  window->present();
  std::string id = mappedId("QN background");
  ASSERT_FALSE(id.empty());
  ASSERT_TRUE(spinUntil([&] { return delegate.finished == 1; }));
  XWindowInfo info = infoOf(id);

  // Shots of the whole screen, until the page has painted its square.
  const char* folder = std::getenv("QN_SHOT_DIR");
  std::string shot = std::string(folder ? folder : g_get_user_runtime_dir()) + "/background.png";
  GdkPixbuf* pixels = nullptr;
  auto pixel = [&](int x, int y) {
    const guchar* p = gdk_pixbuf_get_pixels(pixels) + y * gdk_pixbuf_get_rowstride(pixels) +
                      x * gdk_pixbuf_get_n_channels(pixels);
    return Rgb{p[0], p[1], p[2]};
  };
  bool painted = spinUntil([&] {
    if (pixels) g_object_unref(pixels);
    pixels = runTool({"import", "-window", "root", shot}).status == 0
                 ? gdk_pixbuf_new_from_file(shot.c_str(), nullptr)
                 : nullptr;
    return pixels && near(pixel(info.x + 50, info.y + 50), {255, 0, 0});
  });

  ASSERT_TRUE(painted);
  Rgb middle = pixel(info.x + info.width / 2, info.y + info.height / 2);
  EXPECT_TRUE(near(middle, {28, 28, 31}))
      << "rgb(" << middle[0] << ", " << middle[1] << ", " << middle[2] << ")";
  g_object_unref(pixels);
  if (!folder) g_remove(shot.c_str());
  view.setDelegate(nullptr);
}

}  // namespace
}  // namespace qn::test
