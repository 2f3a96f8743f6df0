// Native controls in the companion's GTK panels on a private desktop, driven by the real pointer.
#include <gtest/gtest.h>

#include <cmath>
#include <string>
#include <vector>

#include "base/ChildProcess.h"
#include "platform/gtk/GtkDesktopSpace.h"
#include "platform/gtk/X11Clients.h"
#include "tests/e2e/companion/DesktopTestSupport.h"

namespace qn {
namespace {

const Color kWhite{1, 1, 1, 1};

// Counts what the panel reports about the pointer.
class CountingContent : public PanelContent {
 public:
  void draw(Canvas& canvas, Size bounds) override {
    canvas.fillRoundedRect(Rect{{0, 0}, bounds}, 12, Color{0.09, 0.10, 0.13, 1});
  }
  void mouseDown(Point) override { ++downs; }
  void mouseDragged(Point) override { ++drags; }
  void mouseEntered() override { ++entered; }
  void mouseExited() override { ++exited; }
  int downs = 0;
  int drags = 0;
  int entered = 0;
  int exited = 0;
};

Point middle(Rect r) {
  return Point{r.origin.x + r.size.width / 2, r.origin.y + r.size.height / 2};
}

TEST(GtkPanelControls, LabelHeightsFollowWrappingFontSizeAndLimit) {
  CountingContent content;
  auto panel = shownPanel(Rect{{100, 100}, {300, 200}}, &content);
  Label* small = panel->addLabel(Font{11, FontWeight::Regular}, kWhite);
  Label* large = panel->addLabel(Font{15, FontWeight::Semibold}, kWhite);
  EXPECT_EQ(small->heightForWidth(200, 300), 0) << "an empty label needs no room";
  const std::string text = "Pages open close together, so the site soon shows a slider to solve";
  small->setText(text);
  large->setText(text);
  EXPECT_EQ(small->text(), text);

  const double line = small->heightForWidth(5000, 300);
  EXPECT_GT(line, 11);
  EXPECT_LT(line, 2 * 11);
  double previous = line;
  for (double width : {300.0, 160.0, 90.0}) {
    const double height = small->heightForWidth(width, 1000);
    EXPECT_GE(height, previous) << "narrower never needs less, width " << width;
    const double lines = height / line;
    EXPECT_NEAR(lines, std::round(lines), 0.15) << "whole lines at width " << width;
    // About 6 pixels a character: at least as many lines as the text's width asks for.
    EXPECT_GE(std::round(lines), std::floor(text.size() * 5.0 / width)) << width;
    previous = height;
  }
  EXPECT_GT(small->heightForWidth(90, 1000), 3 * line);
  EXPECT_GT(large->heightForWidth(160, 1000), small->heightForWidth(160, 1000));
  EXPECT_GT(large->heightForWidth(5000, 300), line);
  EXPECT_EQ(small->heightForWidth(90, 20), 20) << "capped by the maximum";

  small->setText(std::string(60, 'x'));
  EXPECT_GE(small->heightForWidth(100, 1000), 2 * line) << "a word longer than the line breaks";
}

TEST(GtkPanelControls, ChineseTextWrapsAtCharacters) {
  CountingContent content;
  auto panel = shownPanel(Rect{{100, 100}, {300, 200}}, &content);
  Label* label = panel->addLabel(Font{13, FontWeight::Regular}, kWhite);
  // 40 Chinese characters without a space; each about 13 pixels wide.
  const std::string text =
      "打开太密很快会弹滑块频繁验证可能被限制搜索或要求重新登录只建议备用号量少时短时间用确定要调"
      "快";
  label->setText(text);
  const double line = label->heightForWidth(5000, 1000);
  EXPECT_GE(line, 13);
  EXPECT_LT(line, 2.2 * 13);
  const double wrapped = label->heightForWidth(130, 1000);
  const double lines = wrapped / line;
  // Ten characters a line, four lines; a little slack for the font's own widths.
  EXPECT_GE(lines, 3.5);
  EXPECT_LE(lines, 5.5);
}

TEST(GtkPanelControls, ButtonClickActsAtOnceWhileAnotherWindowKeepsTheFocus) {
  FocusedWindow other(QN_TEST_WINDOW);
  ASSERT_NE(other.window, 0u);
  CountingContent content;
  auto panel = shownPanel(Rect{{800, 300}, {300, 120}}, &content);
  struct Case {
    const char* title;
    Rect frame;
    bool enabled;
    bool hidden;
    int presses = 0;
    Button* button = nullptr;
  };
  std::vector<Case> cases = {{"Pause", {{10, 10}, {90, 24}}, true, false},
                             {"Stop", {{110, 10}, {90, 24}}, false, false},
                             {"Open results", {{10, 60}, {120, 24}}, true, true}};
  for (auto& c : cases) {
    c.button = panel->addButton(ButtonStyle{c.title});
    c.button->setFrame(c.frame);
    c.button->setEnabled(c.enabled);
    c.button->setHidden(c.hidden);
    c.button->onPress = [&c] { ++c.presses; };
    EXPECT_EQ(c.button->isEnabled(), c.enabled);
    EXPECT_EQ(c.button->isHidden(), c.hidden);
  }
  spinFor(0.2);
  for (auto& c : cases) clickAt(*panel, middle(c.frame));
  EXPECT_TRUE(spinUntil([&] { return cases[0].presses == 1; })) << "the enabled button acts";
  spinFor(0.3);
  EXPECT_EQ(cases[0].presses, 1) << "one click, one press";
  EXPECT_EQ(cases[1].presses, 0) << "a disabled button ignores the click";
  EXPECT_EQ(cases[2].presses, 0) << "a hidden button ignores the click";
  EXPECT_EQ(x11::activeWindow(), other.window);
  EXPECT_TRUE(other.hasInputFocus()) << "the panel never takes the keyboard focus";

  cases[1].button->setEnabled(true);
  spinFor(0.1);
  clickAt(*panel, middle(cases[1].frame));
  EXPECT_TRUE(spinUntil([&] { return cases[1].presses == 1; })) << "enabled again, it acts";
  EXPECT_EQ(x11::activeWindow(), other.window);
}

TEST(GtkPanelControls, ButtonTitlesSetTheNaturalWidth) {
  CountingContent content;
  auto panel = shownPanel(Rect{{100, 100}, {300, 200}}, &content);
  Button* shortButton = panel->addButton(ButtonStyle{"Stop", Font{11.5, FontWeight::Regular}});
  Button* longButton = panel->addButton(ButtonStyle{"I'll handle it (show the window)"});
  Button* bigButton = panel->addButton(ButtonStyle{"Stop", Font{13, FontWeight::Regular}});
  shortButton->setFrame(Rect{{0, 0}, {250, 24}});
  const double stop = shortButton->naturalWidth();
  EXPECT_GT(stop, 20);
  EXPECT_LT(stop, 80) << "the frame's width does not count";
  EXPECT_GT(longButton->naturalWidth(), 4 * stop);
  EXPECT_GT(bigButton->naturalWidth(), stop);
  shortButton->setTitle("Open results");
  EXPECT_EQ(shortButton->title(), "Open results");
  EXPECT_GT(shortButton->naturalWidth(), stop);
}

TEST(GtkPanelControls, SegmentClicksSelectAndReportOnlyTheUsersChoice) {
  FocusedWindow other(QN_TEST_WINDOW);
  CountingContent content;
  auto panel = shownPanel(Rect{{500, 300}, {290, 80}}, &content);
  SegmentedControl* seg =
      panel->addSegmentedControl({"Slowest", "Safe", "Normal", "Fast"}, Font{11});
  const Rect frame{{12, 20}, {264, 22}};
  seg->setFrame(frame);
  std::vector<int> reported;
  seg->onSelect = [&] { reported.push_back(seg->selected()); };
  EXPECT_EQ(seg->selected(), -1);
  seg->setSelected(2);
  EXPECT_EQ(seg->selected(), 2);
  spinFor(0.2);
  EXPECT_TRUE(reported.empty()) << "setting the selection is not a choice";

  const auto segmentMiddle = [&](int i) {
    return Point{frame.origin.x + frame.size.width * (i + 0.5) / 4, middle(frame).y};
  };
  for (int i : {0, 3, 3}) {
    const size_t before = reported.size();
    clickAt(*panel, segmentMiddle(i));
    ASSERT_TRUE(spinUntil([&] { return reported.size() == before + 1; })) << "segment " << i;
    EXPECT_EQ(reported.back(), i);
    EXPECT_EQ(seg->selected(), i) << "clicking the selected segment keeps it selected";
  }
  spinFor(0.2);
  EXPECT_EQ(reported, (std::vector<int>{0, 3, 3})) << "each click reported once";
  seg->setSelected(-1);
  EXPECT_EQ(seg->selected(), -1);
  seg->setHidden(true);
  spinFor(0.1);
  clickAt(*panel, segmentMiddle(1));
  spinFor(0.3);
  EXPECT_EQ(reported.size(), 3u) << "a hidden selector ignores clicks";
  EXPECT_EQ(x11::activeWindow(), other.window);
}

TEST(GtkPanelControls, HoverCoversTheWholePanelWithItsControls) {
  CountingContent content;
  auto panel = shownPanel(Rect{{300, 300}, {200, 100}}, &content);
  Button* inner = panel->addButton(ButtonStyle{"Pause"});
  inner->setFrame(Rect{{60, 20}, {80, 24}});
  // A button on the right edge: the pointer can leave the panel straight from it.
  Button* edge = panel->addButton(ButtonStyle{"Stop"});
  edge->setFrame(Rect{{140, 60}, {60, 30}});
  Label* label = panel->addLabel(Font{12}, kWhite);
  label->setText("Working · 3/10");
  label->setFrame(Rect{{10, 50}, {120, 20}});
  spinFor(0.1);
  pointerTo(50, 50);
  spinFor(0.2);
  const int entered = content.entered, exited = content.exited;

  pointerToPanel(*panel, {20, 10});
  ASSERT_TRUE(spinUntil([&] { return content.entered == entered + 1; }));
  const std::vector<Point> inside = {{100, 32}, {30, 10}, {70, 60}, {100, 32}, {170, 75}, {20, 90}};
  for (Point p : inside) {
    pointerToPanel(*panel, p);
    spinFor(0.15);
  }
  EXPECT_EQ(content.entered, entered + 1) << "background, label and buttons are one panel";
  EXPECT_EQ(content.exited, exited);
  pointerToPanel(*panel, {-30, 50});
  EXPECT_TRUE(spinUntil([&] { return content.exited == exited + 1; })) << "leaving the panel";

  pointerToPanel(*panel, {170, 75});
  EXPECT_TRUE(spinUntil([&] { return content.entered == entered + 2; })) << "entering on a button";
  pointerToPanel(*panel, {230, 75});
  EXPECT_TRUE(spinUntil([&] { return content.exited == exited + 2; })) << "leaving from a button";
  spinFor(0.2);
  EXPECT_EQ(content.entered, entered + 2);
  EXPECT_EQ(content.exited, exited + 2);
}

TEST(GtkPanelControls, ShowingAndHidingUnderThePointerCountsAsEnteringAndLeaving) {
  CountingContent content;
  pointerTo(350, 550);
  auto panel = shownPanel(Rect{{300, 300}, {200, 100}}, &content);
  EXPECT_TRUE(spinUntil([&] { return content.entered == 1; })) << "shown under the pointer";
  panel->orderOut();
  EXPECT_TRUE(spinUntil([&] { return content.exited == 1; })) << "hidden from under it";
  panel->orderFrontRegardless();
  EXPECT_TRUE(spinUntil([&] { return content.entered == 2; })) << "shown again";
  spinFor(0.2);
  EXPECT_EQ(content.exited, 1);
}

TEST(GtkPanelControls, DraggingTheBackgroundMovesAMovablePanel) {
  CountingContent content;
  const Rect start{{300, 300}, {220, 120}};
  auto panel = shownPanel(start, &content);
  panel->setMovableByBackground(true);
  Button* button = panel->addButton(ButtonStyle{"Yes"});
  int presses = 0;
  button->onPress = [&] { ++presses; };
  const Rect buttonFrame{{120, 80}, {90, 24}};
  button->setFrame(buttonFrame);
  spinFor(0.2);

  const auto drag = [&](Point local, int dx, int dy) {
    pointerToPanel(*panel, local);
    const Rect root = GtkDesktopSpace::desktopToRoot(panel->frame());
    const int x = int(root.origin.x + local.x), y = int(root.origin.y + local.y);
    xdotool({"mousedown", "1"});
    for (int step = 1; step <= 4; ++step) {
      pointerTo(x + dx * step / 4, y + dy * step / 4);
      spinFor(0.05);
    }
    xdotool({"mouseup", "1"});
    spinFor(0.3);
  };

  drag({30, 30}, 60, 40);
  EXPECT_DOUBLE_EQ(panel->frame().origin.x, start.origin.x + 60);
  EXPECT_DOUBLE_EQ(panel->frame().origin.y, start.origin.y - 40) << "desktop y grows upwards";
  EXPECT_TRUE(spinUntil([&] { return viewableAt(GtkDesktopSpace::desktopToRoot(panel->frame())); }))
      << "the window is where the frame says";
  EXPECT_GT(content.drags, 0) << "the content still sees the drag";

  // Text of a label is background too.
  Label* label = panel->addLabel(Font{13}, kWhite);
  label->setText("Allow the shop list to be read?");
  label->setFrame(Rect{{10, 40}, {200, label->heightForWidth(200, 300)}});
  spinFor(0.1);
  drag({20, 46}, -30, 20);
  EXPECT_DOUBLE_EQ(panel->frame().origin.x, start.origin.x + 30) << "dragged by a label";
  EXPECT_DOUBLE_EQ(panel->frame().origin.y, start.origin.y - 60);

  const Rect moved = panel->frame();
  drag(middle(buttonFrame), 60, 40);
  EXPECT_DOUBLE_EQ(panel->frame().origin.x, moved.origin.x) << "a drag on a button does not move";
  EXPECT_DOUBLE_EQ(panel->frame().origin.y, moved.origin.y);
  EXPECT_EQ(presses, 0) << "released away from the button";

  panel->setMovableByBackground(false);
  drag({30, 30}, 60, 40);
  EXPECT_DOUBLE_EQ(panel->frame().origin.x, moved.origin.x) << "not movable any more";
  EXPECT_DOUBLE_EQ(panel->frame().origin.y, moved.origin.y);
}

// Records a drawn view's calls.
class RecordingView : public ViewContent {
 public:
  void draw(Canvas& canvas, Size bounds) override {
    canvas.fillRoundedRect(Rect{{0, 0}, bounds}, 6, Color{1, 1, 1, 0.14});
    drawnSize = bounds;
    ++draws;
  }
  void mouseMoved(Point p) override { moved = p; }
  void mouseExited() override { ++exits; }
  void mouseDown(Point p) override { downs.push_back(p); }
  Size drawnSize;
  int draws = 0;
  Point moved{-1, -1};
  int exits = 0;
  std::vector<Point> downs;
};

TEST(GtkPanelControls, DrawnViewDrawsAndTakesThePointerInItsOwnCoordinates) {
  CountingContent content;
  RecordingView view;
  auto panel = shownPanel(Rect{{600, 200}, {290, 200}}, &content);
  DrawnView* list = panel->addDrawnView(&view);
  list->setFrame(Rect{{6, 8}, {278, 68}});
  ASSERT_TRUE(spinUntil([&] { return view.draws > 0; }));
  EXPECT_DOUBLE_EQ(view.drawnSize.width, 278);
  EXPECT_DOUBLE_EQ(view.drawnSize.height, 68);

  pointerToPanel(*panel, {16, 20});
  pointerToPanel(*panel, {26, 38});
  EXPECT_TRUE(spinUntil([&] { return view.moved.x == 20 && view.moved.y == 30; }));
  xdotool({"click", "1"});
  ASSERT_TRUE(spinUntil([&] { return view.downs.size() == 1; }));
  EXPECT_DOUBLE_EQ(view.downs[0].x, 20);
  EXPECT_DOUBLE_EQ(view.downs[0].y, 30);
  EXPECT_EQ(content.downs, 0) << "a press on the view is not on the background";

  pointerToPanel(*panel, {100, 150});
  EXPECT_TRUE(spinUntil([&] { return view.exits == 1; }));
  EXPECT_EQ(content.exited, 0) << "still in the panel";
  const int draws = view.draws;
  list->setNeedsDisplay();
  EXPECT_TRUE(spinUntil([&] { return view.draws > draws; }));
  list->setHidden(true);
  clickAt(*panel, {26, 38});
  spinFor(0.3);
  EXPECT_EQ(view.downs.size(), 1u) << "a hidden view takes no clicks";
  EXPECT_EQ(content.downs, 1) << "the click went to the background";
}

}  // namespace
}  // namespace qn
