// The view-only shield in a real panel over another application's window: the captured picture
// under the caption strip inside the green border, clicks that only show the hint, the close
// mark, and the other window keeping the keyboard focus.
#include <gtest/gtest.h>

#include <array>
#include <cmath>
#include <memory>

#include "companion/worker/ShieldView.h"
#include "platform/gtk/GtkCanvas.h"
#include "platform/gtk/GtkDesktopSpace.h"
#include "platform/gtk/X11Clients.h"
#include "tests/e2e/companion/DesktopTestSupport.h"

namespace qn {
namespace {

// A picture whose left half is red and right half blue, in the canvas's pixel layout.
ImageRef halves(int width, int height) {
  auto image = std::make_shared<Image>();
  image->width = width;
  image->height = height;
  image->pixels.resize(size_t(width) * size_t(height) * 4);
  for (int y = 0; y < height; ++y) {
    for (int x = 0; x < width; ++x) {
      unsigned char* px = image->pixels.data() + (size_t(y) * size_t(width) + size_t(x)) * 4;
      const bool left = x < width / 2;
      px[0] = left ? 0 : 255;  // blue
      px[1] = 0;
      px[2] = left ? 255 : 0;  // red
      px[3] = 255;
    }
  }
  return image;
}

bool near(const unsigned char* px, int r, int g, int b, int slack = 40) {
  return std::abs(px[0] - r) <= slack && std::abs(px[1] - g) <= slack &&
         std::abs(px[2] - b) <= slack;
}

TEST(GtkCanvas, DrawImageStretchesTheWholePictureIntoTheRectangle) {
  backend();
  cairo_surface_t* surface = cairo_image_surface_create(CAIRO_FORMAT_RGB24, 300, 200);
  cairo_t* cr = cairo_create(surface);
  cairo_set_source_rgb(cr, 1, 1, 1);
  cairo_paint(cr);
  GtkCanvas canvas(cr);
  canvas.drawImage(*halves(8, 4), Rect{{20, 30}, {200, 100}});
  cairo_surface_flush(surface);
  const unsigned char* data = cairo_image_surface_get_data(surface);
  const int stride = cairo_image_surface_get_stride(surface);
  const auto rgb = [&](int x, int y) {
    const unsigned char* p = data + y * stride + x * 4;
    return std::array<int, 3>{p[2], p[1], p[0]};
  };
  EXPECT_EQ(rgb(40, 80), (std::array<int, 3>{255, 0, 0}));
  EXPECT_EQ(rgb(200, 80), (std::array<int, 3>{0, 0, 255}));
  EXPECT_EQ(rgb(10, 80), (std::array<int, 3>{255, 255, 255})) << "nothing left of the rectangle";
  EXPECT_EQ(rgb(40, 140), (std::array<int, 3>{255, 255, 255})) << "nothing below it";
  cairo_destroy(cr);
  cairo_surface_destroy(surface);
}

TEST(GtkShield, ThePictureShowsInsideTheBorderAndClicksNeverReachTheWindowBelow) {
  FocusedWindow other(QN_TEST_WINDOW);
  ASSERT_NE(other.window, 0u);
  ShieldView view(false);
  view.caption = "Live view · job 1";
  view.img = halves(600, 400);
  int hints = 0;
  int closes = 0;
  view.onHint = [&] { ++hints; };
  view.onClose = [&] { ++closes; };
  // Over the test window at (100, 100) in root coordinates, 600 x 400 with the strip above it.
  const Rect root{{100, 70}, {600, 430}};
  const Point bottomLeft =
      GtkDesktopSpace::rootToDesktop(root.origin.x, root.origin.y + root.size.height);
  auto panel = shownPanel(Rect{bottomLeft, root.size}, &view);
  view.host = panel.get();
  panel->setLevel(3);
  panel->setNeedsDisplay();
  spinFor(0.3);

  saveScreenshot(std::string(QN_SHOT_DIR) + "/shield.png");
  {
    const ScreenPixels screen;
    EXPECT_TRUE(near(screen.at({250, 300}), 255, 0, 0)) << "the left half of the picture";
    EXPECT_TRUE(near(screen.at({550, 300}), 0, 0, 255)) << "the right half of the picture";
    EXPECT_TRUE(near(screen.at({400, 498}), 64, 217, 115, 60)) << "the green border";
    EXPECT_LT(screen.brightness({400, 85}), 80) << "the dark caption strip";
    EXPECT_GT(screen.brightest(Rect{{110, 75}, {150, 20}}), 150) << "the caption's text";
  }

  clickAt(*panel, Point{300, 250});
  ASSERT_TRUE(spinUntil([&] { return hints == 1; }));
  EXPECT_EQ(view.hint, 1);
  panel->setNeedsDisplay();
  spinFor(0.3);
  saveScreenshot(std::string(QN_SHOT_DIR) + "/shield-hint.png");
  {
    const ScreenPixels screen;
    EXPECT_GT(screen.brightest(Rect{{150, 280}, {500, 10}}), 200) << "the hint's text";
  }
  clickAt(*panel, Point{300, 250}, "3");
  EXPECT_TRUE(spinUntil([&] { return hints == 2; }));
  xdotool({"click", "4"});
  xdotool({"click", "5"});
  clickAt(*panel, Point{600 - 19, 15});
  EXPECT_TRUE(spinUntil([&] { return closes == 1; }));
  EXPECT_EQ(hints, 2);
  EXPECT_EQ(x11::activeWindow(), other.window);
  EXPECT_TRUE(other.hasInputFocus()) << "the shield never takes the keyboard focus";
}

}  // namespace
}  // namespace qn
