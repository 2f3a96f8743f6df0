// Context menus of the companion's GTK panels: popped up at a desktop point, chosen with the
// real pointer and keyboard while another window keeps the focus.
#include <gtest/gtest.h>

#include <gtk/gtk.h>

#include <string>
#include <vector>

#include "platform/gtk/X11Clients.h"
#include "tests/e2e/companion/DesktopTestSupport.h"

namespace qn {
namespace {

struct ShownItem {
  std::string title;
  GdkRectangle root;
};

// The menus alive in this process: their windows, shown or not.
std::vector<GtkWidget*> menus() {
  std::vector<GtkWidget*> found;
  GList* toplevels = gtk_window_list_toplevels();
  for (GList* l = toplevels; l != nullptr; l = l->next) {
    GtkWidget* child = gtk_bin_get_child(GTK_BIN(l->data));
    if (child != nullptr && GTK_IS_MENU(child)) found.push_back(child);
  }
  g_list_free(toplevels);
  return found;
}

// The titled items of the menu on screen, where they are in root coordinates.
std::vector<ShownItem> shownItems() {
  std::vector<ShownItem> items;
  for (GtkWidget* menu : menus()) {
    GtkWidget* toplevel = gtk_widget_get_toplevel(menu);
    if (!gtk_widget_get_mapped(toplevel)) continue;
    int ox = 0, oy = 0;
    gdk_window_get_origin(gtk_widget_get_window(toplevel), &ox, &oy);
    GList* children = gtk_container_get_children(GTK_CONTAINER(menu));
    for (GList* c = children; c != nullptr; c = c->next) {
      auto* item = GTK_WIDGET(c->data);
      const char* title = gtk_menu_item_get_label(GTK_MENU_ITEM(item));
      if (title == nullptr || GTK_IS_SEPARATOR_MENU_ITEM(item)) continue;
      int x = 0, y = 0;
      gtk_widget_translate_coordinates(item, toplevel, 0, 0, &x, &y);
      items.push_back(
          ShownItem{title, GdkRectangle{ox + x, oy + y, gtk_widget_get_allocated_width(item),
                                        gtk_widget_get_allocated_height(item)}});
    }
    g_list_free(children);
  }
  return items;
}

void clickItem(const ShownItem& item) {
  pointerTo(item.root.x + item.root.width / 2, item.root.y + item.root.height / 2);
  spinFor(0.1);
  xdotool({"click", "1"});
}

std::vector<MenuItem> stateMenu(std::vector<std::string>& ran) {
  const auto record = [&ran](std::string key) { return [&ran, key] { ran.push_back(key); }; };
  return {MenuItem{"Job 3 of 9", false, false, record("title")},
          MenuItem{"Pause", true, false, record("pause")}, MenuItem{"", true, true, nullptr},
          MenuItem{"Stop", true, false, record("stop")}};
}

const ShownItem* find(const std::vector<ShownItem>& items, const std::string& title) {
  for (const auto& item : items)
    if (item.title == title) return &item;
  return nullptr;
}

// Opens the menu at a point and waits until it shows its three titled items.
std::vector<ShownItem> popUp(const std::vector<MenuItem>& items, Point at) {
  backend().panels().popUpMenu(items, at);
  EXPECT_TRUE(spinUntil([] { return shownItems().size() == 3; }));
  spinFor(0.2);
  return shownItems();
}

TEST(GtkContextMenu, ChoosingAnItemRunsItsActionAfterTheMenuCloses) {
  backend();
  ASSERT_TRUE(menus().empty());
  std::vector<std::string> ran;
  const auto shown = popUp(stateMenu(ran), Point{300, 600});
  ASSERT_EQ(shown.size(), 3u);
  EXPECT_EQ(shown[0].title, "Job 3 of 9");
  EXPECT_EQ(shown[2].title, "Stop");
  // The top left corner at the point: root (300, 300).
  EXPECT_NEAR(shown[0].root.x, 300, 8);
  EXPECT_NEAR(shown[0].root.y, 300, 8);
  EXPECT_GT(shown[2].root.y, shown[1].root.y + shown[1].root.height) << "a separator between";
  EXPECT_TRUE(ran.empty()) << "popping up runs nothing";

  clickItem(*find(shown, "Job 3 of 9"));
  spinFor(0.4);
  EXPECT_TRUE(ran.empty()) << "a disabled item does nothing";
  EXPECT_EQ(shownItems().size(), 3u) << "and the menu stays open";

  clickItem(*find(shown, "Stop"));
  ASSERT_TRUE(spinUntil([&] { return !ran.empty(); }));
  EXPECT_EQ(ran, std::vector<std::string>{"stop"});
  EXPECT_TRUE(spinUntil([] { return menus().empty(); })) << "the closed menu is freed";
  spinFor(0.2);
  EXPECT_EQ(ran.size(), 1u);
}

TEST(GtkContextMenu, KeyboardChoosesAndDismissingRunsNothing) {
  std::vector<std::string> ran;
  popUp(stateMenu(ran), Point{500, 500});
  // The first item is disabled: the keyboard goes to the first enabled one.
  xdotool({"key", "Down", "Return"});
  ASSERT_TRUE(spinUntil([&] { return !ran.empty(); })) << "the menu has the keyboard";
  EXPECT_EQ(ran, std::vector<std::string>{"pause"});
  ASSERT_TRUE(spinUntil([] { return menus().empty(); }));

  popUp(stateMenu(ran), Point{500, 500});
  xdotool({"key", "Escape"});
  EXPECT_TRUE(spinUntil([] { return menus().empty(); })) << "Escape closes and frees it";

  popUp(stateMenu(ran), Point{500, 500});
  pointerTo(1100, 800);
  xdotool({"click", "1"});
  EXPECT_TRUE(spinUntil([] { return menus().empty(); })) << "a click elsewhere closes it";
  spinFor(0.3);
  EXPECT_EQ(ran.size(), 1u) << "a dismissed menu runs nothing";
}

// Opens the menu from the panel's right press, where the companion opens it.
class MenuOnRightPress : public PanelContent {
 public:
  explicit MenuOnRightPress(std::vector<MenuItem> items) : items_(std::move(items)) {}
  void draw(Canvas& canvas, Size bounds) override {
    canvas.fillRoundedRect(Rect{{0, 0}, bounds}, 8, Color{0.3, 0.6, 0.9, 1});
  }
  void rightMouseDown(Point at) override { backend().panels().popUpMenu(items_, at); }
  void mouseEntered() override { ++entered; }
  void mouseExited() override { ++exited; }
  int entered = 0;
  int exited = 0;

 private:
  std::vector<MenuItem> items_;
};

TEST(GtkContextMenu, RightPressOnAPanelOpensTheMenuAtThePointer) {
  FocusedWindow other(QN_TEST_WINDOW);
  std::vector<std::string> ran;
  MenuOnRightPress content(stateMenu(ran));
  auto tab = shownPanel(Rect{{1366, 403}, {34, 94}}, &content);
  pointerToPanel(*tab, {17, 40});
  xdotool({"click", "3"});
  ASSERT_TRUE(spinUntil([] { return shownItems().size() == 3; }));
  spinFor(0.3);
  const auto shown = shownItems();
  EXPECT_TRUE(ran.empty()) << "the release of the right press chooses nothing";
  // Near the right edge of the screen the menu opens towards the left, still on screen.
  EXPECT_LE(shown[0].root.x + shown[0].root.width, 1400);
  EXPECT_NEAR(shown[0].root.y, 900 - 403 - 94 + 40, 8);
  clickItem(*find(shown, "Pause"));
  EXPECT_TRUE(spinUntil([&] { return ran == std::vector<std::string>{"pause"}; }));
  EXPECT_TRUE(spinUntil([] { return menus().empty(); }));
  EXPECT_EQ(content.entered, 1);
  EXPECT_TRUE(spinUntil([&] { return content.exited == 1; }))
      << "the pointer left the tab for the menu and did not come back";
  EXPECT_EQ(x11::activeWindow(), other.window) << "the menu did not activate the companion";
  EXPECT_TRUE(spinUntil([&] { return other.hasInputFocus(); })) << "the keyboard is back";
}

}  // namespace
}  // namespace qn
