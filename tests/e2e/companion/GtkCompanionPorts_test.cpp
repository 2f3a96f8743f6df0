// The companion's GTK ports on a private desktop: screens, pointer, panels and their stacking,
// the X window list and running applications under a window manager.
#include <gtest/gtest.h>
#include <signal.h>

#include <algorithm>

#include "base/ChildProcess.h"
#include "platform/gtk/X11Clients.h"
#include "tests/e2e/companion/DesktopTestSupport.h"

namespace qn {
namespace {

// The root's children whose size is width x height, bottom to top.
std::vector<Window> childrenOfSize(int width, int height) {
  Window root, parent, *children = nullptr;
  unsigned int count = 0;
  std::vector<Window> found;
  XQueryTree(xdisplay(), DefaultRootWindow(xdisplay()), &root, &parent, &children, &count);
  for (unsigned int i = 0; i < count; ++i) {
    XWindowAttributes a;
    if (XGetWindowAttributes(xdisplay(), children[i], &a) && a.width == width &&
        a.height == height && a.map_state == IsViewable)
      found.push_back(children[i]);
  }
  if (children != nullptr) XFree(children);
  return found;
}

// The position of the root's child that holds the window (its frame), counted from the bottom.
int stackIndex(Window window) {
  Window root = 0, parent = 0, *children = nullptr;
  unsigned int count = 0;
  while (XQueryTree(xdisplay(), window, &root, &parent, &children, &count) && parent != root) {
    if (children != nullptr) XFree(children);
    children = nullptr;
    window = parent;
  }
  if (children != nullptr) XFree(children);
  XQueryTree(xdisplay(), root, &root, &parent, &children, &count);
  int index = -1;
  for (unsigned int i = 0; i < count; ++i)
    if (children[i] == window) index = int(i);
  if (children != nullptr) XFree(children);
  return index;
}

class RecordingContent : public PanelContent {
 public:
  void draw(Canvas& canvas, Size bounds) override {
    canvas.fillRoundedRect(Rect{{0, 0}, bounds}, 4, Color{1, 0, 0, 1});
    ++draws;
  }
  void mouseDown(Point p) override { events.push_back({'d', p}); }
  void mouseDragged(Point p) override { events.push_back({'m', p}); }
  void mouseUp(Point p) override { events.push_back({'u', p}); }
  void rightMouseDown(Point p) override { events.push_back({'r', p}); }
  void mouseEntered() override { events.push_back({'e', {}}); }
  void mouseExited() override { events.push_back({'x', {}}); }
  int draws = 0;
  std::vector<std::pair<char, Point>> events;
  bool has(char kind) const {
    return std::any_of(events.begin(), events.end(),
                       [&](const auto& e) { return e.first == kind; });
  }
};

TEST(GtkCompanionPorts, ScreensInDesktopSpace) {
  auto& screens = backend().screens();
  const auto list = screens.screens();
  ASSERT_EQ(list.size(), 1u);
  EXPECT_DOUBLE_EQ(list[0].frame.origin.x, 0);
  EXPECT_DOUBLE_EQ(list[0].frame.origin.y, 0);
  EXPECT_DOUBLE_EQ(list[0].frame.size.width, 1400);
  EXPECT_DOUBLE_EQ(list[0].frame.size.height, 900);
  EXPECT_DOUBLE_EQ(list[0].visibleFrame.size.height, 900) << "openbox without panels";
  EXPECT_NE(list[0].displayId, 0u);
  EXPECT_EQ(screens.screens()[0].displayId, list[0].displayId);
  xdotool({"mousemove", "100", "200"});
  EXPECT_TRUE(spinUntil([&] {
    const Point p = screens.mouseLocation();
    return p.x == 100 && p.y == 700;
  }));
}

TEST(GtkCompanionPorts, PanelPlacementStackingAndPointer) {
  RecordingContent content;
  auto low = backend().panels().makePanel(Rect{{0, 0}, {50, 70}}, PanelRecipe{});
  auto high = backend().panels().makePanel(Rect{{0, 0}, {50, 70}}, PanelRecipe{});
  low->setLevel(3);
  high->setContent(&content);
  high->setFrame(Rect{{10, 20}, {50, 70}});
  low->setFrame(Rect{{20, 30}, {50, 70}});
  high->orderFrontRegardless();
  low->orderFrontRegardless();
  ASSERT_TRUE(spinUntil([] { return childrenOfSize(50, 70).size() == 2; }));
  XWindowAttributes a;
  const auto stack = childrenOfSize(50, 70);
  ASSERT_TRUE(XGetWindowAttributes(xdisplay(), stack.back(), &a));
  // The higher level stays on top although the lower one was ordered front last.
  EXPECT_EQ(a.x, 10);
  EXPECT_EQ(a.y, 900 - 20 - 70);
  EXPECT_TRUE(a.override_redirect) << "never managed: no focus, no taskbar entry";
  EXPECT_TRUE(spinUntil([&] { return content.draws > 0; }));

  xdotool({"mousemove", "30", "830"});
  xdotool({"mousedown", "1"});
  xdotool({"mousemove", "200", "500"});
  xdotool({"mouseup", "1"});
  xdotool({"mousemove", "30", "830"});
  xdotool({"click", "3"});
  ASSERT_TRUE(spinUntil([&] { return content.has('r'); }));
  EXPECT_TRUE(content.has('e'));
  const auto down = std::find_if(content.events.begin(), content.events.end(),
                                 [](const auto& e) { return e.first == 'd'; });
  ASSERT_NE(down, content.events.end());
  EXPECT_DOUBLE_EQ(down->second.x, 30);
  EXPECT_DOUBLE_EQ(down->second.y, 70);
  const auto up = std::find_if(content.events.begin(), content.events.end(),
                               [](const auto& e) { return e.first == 'u'; });
  ASSERT_NE(up, content.events.end());
  EXPECT_DOUBLE_EQ(up->second.x, 200) << "the release is reported where the pointer is";
  EXPECT_DOUBLE_EQ(up->second.y, 400);
  EXPECT_TRUE(content.has('m'));
  high->orderOut();
  EXPECT_FALSE(high->isVisible());
  high->setContent(nullptr);
}

TEST(GtkCompanionPorts, WindowListAndRunningApplication) {
  SpawnOptions options;
  options.executable = QN_TEST_WINDOW;
  auto child = ChildProcess::spawn(options, nullptr);
  ASSERT_TRUE(child);
  const pid_t pid = child->pid();
  auto& list = backend().windowList();
  std::optional<WindowInfo> mine;
  ASSERT_TRUE(spinUntil([&] {
    for (const auto& w : list.onScreenWindows().value_or(std::vector<WindowInfo>{}))
      if (w.ownerPid == pid) mine = w;
    return mine.has_value();
  }));
  EXPECT_EQ(mine->layer, 0);
  EXPECT_DOUBLE_EQ(mine->bounds.size.width, 600);
  EXPECT_DOUBLE_EQ(mine->bounds.size.height, 400);

  auto& workspace = backend().workspace();
  EXPECT_EQ(workspace.runningApplication(999999999), nullptr);
  auto app = workspace.runningApplication(pid);
  ASSERT_NE(app, nullptr);
  EXPECT_EQ(app->startTime(), child->startTime());
  // A panel over the window stays above it when the window is activated and raised.
  auto panel = backend().panels().makePanel(Rect{{0, 0}, {34, 94}}, PanelRecipe{});
  panel->setFrame(Rect{{mine->bounds.origin.x + 50, 900 - mine->bounds.origin.y - 150}, {34, 94}});
  panel->orderFrontRegardless();
  ASSERT_TRUE(spinUntil([] { return childrenOfSize(34, 94).size() == 1; }));
  // The window manager lists a new window a moment after the X server has it.
  EXPECT_TRUE(spinUntil([&] { return app->activate(); }));
  EXPECT_TRUE(spinUntil([&] { return app->isActive(); }));
  const auto clients = x11::windowsOf(pid);
  ASSERT_FALSE(clients.empty());
  xdotool({"windowraise", std::to_string(clients.front())});
  spinFor(0.3);
  EXPECT_GT(stackIndex(childrenOfSize(34, 94).front()), stackIndex(clients.front()));
  const auto front = workspace.frontmostApplication();
  ASSERT_NE(front, nullptr);
  EXPECT_EQ(front->processIdentifier(), pid);
  EXPECT_TRUE(app->hide());
  EXPECT_TRUE(spinUntil([&] { return app->isHidden(); }));
  EXPECT_TRUE(spinUntil([&] {
    for (const auto& w : list.onScreenWindows().value_or(std::vector<WindowInfo>{}))
      if (w.ownerPid == pid) return false;
    return true;
  })) << "a hidden window is not on screen";
  EXPECT_TRUE(app->unhide());
  EXPECT_TRUE(spinUntil([&] { return !app->isHidden(); }));
  EXPECT_FALSE(app->isTerminated());
  EXPECT_TRUE(app->forceTerminate());
  EXPECT_TRUE(child->waitForExit(5));
  EXPECT_TRUE(app->isTerminated());
  EXPECT_EQ(child->terminationStatus(), SIGKILL);
}

}  // namespace
}  // namespace qn
