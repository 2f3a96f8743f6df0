// GtkCanvas text on a Cairo image surface, with the desktop's fonts.
#include <gtest/gtest.h>

#include <cairo.h>

#include <algorithm>
#include <string>

#include "platform/gtk/GtkCanvas.h"
#include "tests/e2e/companion/DesktopTestSupport.h"

namespace qn {
namespace {

// A white surface drawn on in black; reports where ink landed.
class Surface {
 public:
  Surface() : surface_(cairo_image_surface_create(CAIRO_FORMAT_RGB24, 400, 60)) {
    cr_ = cairo_create(surface_);
    cairo_set_source_rgb(cr_, 1, 1, 1);
    cairo_paint(cr_);
  }
  ~Surface() {
    cairo_destroy(cr_);
    cairo_surface_destroy(surface_);
  }
  GtkCanvas canvas() { return GtkCanvas(cr_); }
  // The right-most column holding a dark pixel, or -1.
  int inkRight() {
    cairo_surface_flush(surface_);
    const unsigned char* data = cairo_image_surface_get_data(surface_);
    const int stride = cairo_image_surface_get_stride(surface_);
    int right = -1;
    for (int y = 0; y < 60; ++y)
      for (int x = 0; x < 400; ++x)
        if (data[y * stride + x * 4 + 1] < 128) right = std::max(right, x);
    return right;
  }

 private:
  cairo_surface_t* surface_;
  cairo_t* cr_;
};

const Color kBlack{0, 0, 0, 1};

TEST(GtkCanvas, LineHeightGrowsWithTheFont) {
  backend();
  Surface s;
  GtkCanvas canvas = s.canvas();
  double previous = 0;
  for (double size : {11.0, 12.0, 15.0, 24.0}) {
    const double height = canvas.lineHeight(Font{size, FontWeight::Regular});
    EXPECT_GE(height, size) << size;
    EXPECT_LT(height, 2 * size) << size;
    EXPECT_GT(height, previous) << size;
    previous = height;
  }
}

TEST(GtkCanvas, TruncatedTextStaysInsideItsRectangle) {
  const Font font{12, FontWeight::Semibold};
  const std::string longTitle =
      "Yiwu small goods suppliers directory (second batch, with contacts)";
  Surface full;
  GtkCanvas fullCanvas = full.canvas();
  ASSERT_GT(fullCanvas.textWidth(longTitle, font), 200) << "wider than the rectangle below";
  fullCanvas.drawText(longTitle, Point{10, 10}, font, kBlack);
  EXPECT_GT(full.inkRight(), 200);

  Surface cut;
  GtkCanvas cutCanvas = cut.canvas();
  cutCanvas.drawTextTruncated(longTitle, Rect{{10, 10}, {120, 17}}, font, kBlack);
  EXPECT_LE(cut.inkRight(), 130) << "cut at the rectangle's right edge";
  EXPECT_GT(cut.inkRight(), 110) << "with the ellipsis at the end";

  Surface fits;
  GtkCanvas fitsCanvas = fits.canvas();
  const std::string shortTitle = "Shenzhen";
  fitsCanvas.drawTextTruncated(shortTitle, Rect{{10, 10}, {120, 17}}, font, kBlack);
  Surface plain;
  GtkCanvas plainCanvas = plain.canvas();
  plainCanvas.drawText(shortTitle, Point{10, 10}, font, kBlack);
  EXPECT_EQ(fits.inkRight(), plain.inkRight()) << "text that fits is drawn whole";

  Surface none;
  GtkCanvas noneCanvas = none.canvas();
  noneCanvas.drawTextTruncated(longTitle, Rect{{10, 10}, {0, 17}}, font, kBlack);
  EXPECT_EQ(none.inkRight(), -1) << "no room, no text";
}

}  // namespace
}  // namespace qn
