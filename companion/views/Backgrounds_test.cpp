#include <gtest/gtest.h>

#include "companion/views/AskView.h"
#include "companion/views/DrawerView.h"
#include "platform/sim/SimCanvas.h"

namespace qn {
namespace {

TEST(Backgrounds, RoundedDarkFillOverTheWholeView) {
  struct Case {
    PanelContent* view;
    double alpha;
  };
  DrawerView drawer;
  AskView ask;
  for (const Case& c : {Case{&drawer, 0.97}, Case{&ask, 1.0}}) {
    SimCanvas canvas;
    c.view->draw(canvas, Size{290, 333});
    ASSERT_EQ(canvas.ops.size(), 1u);
    const auto& fill = canvas.ops[0];
    EXPECT_EQ(fill.kind, SimCanvas::Kind::RoundedRect);
    EXPECT_DOUBLE_EQ(fill.rect.size.width, 290);
    EXPECT_DOUBLE_EQ(fill.rect.size.height, 333);
    EXPECT_DOUBLE_EQ(fill.radius, 12);
    EXPECT_DOUBLE_EQ(fill.color.red, 0.09);
    EXPECT_DOUBLE_EQ(fill.color.green, 0.10);
    EXPECT_DOUBLE_EQ(fill.color.blue, 0.13);
    EXPECT_DOUBLE_EQ(fill.color.alpha, c.alpha);
  }
}

TEST(Backgrounds, DrawerReportsEnterAndLeave) {
  DrawerView drawer;
  drawer.mouseEntered();  // no callback yet
  std::vector<bool> seen;
  drawer.onHover = [&](bool inside) { seen.push_back(inside); };
  drawer.mouseEntered();
  drawer.mouseExited();
  EXPECT_EQ(seen, (std::vector<bool>{true, false}));
}

}  // namespace
}  // namespace qn
