// The application's menu bar in a real main window: what it shows, where, and what real key
// presses on its key equivalents do.

#include <gtest/gtest.h>

// After gtest: X11's headers define macros such as None that clash with its names.
#include <gtk/gtk.h>

#include "platform/gtk/GtkMainWindow.h"
#include "tests/e2e/gtk/RecordingDelegate.h"
#include "tests/e2e/gtk/TestDesktop.h"

namespace qn::test {
namespace {

struct ShownItem {
  std::string label;  // "-" for a separator
  bool sensitive = true;
  guint key = 0;
  GdkModifierType mods = GdkModifierType(0);
};

std::vector<GtkWidget*> children(GtkWidget* container) {
  std::vector<GtkWidget*> found;
  GList* list = gtk_container_get_children(GTK_CONTAINER(container));
  for (GList* item = list; item; item = item->next) found.push_back(GTK_WIDGET(item->data));
  g_list_free(list);
  return found;
}

ShownItem inspect(GtkWidget* item) {
  ShownItem shown;
  if (GTK_IS_SEPARATOR_MENU_ITEM(item)) {
    shown.label = "-";
    return shown;
  }
  shown.label = gtk_menu_item_get_label(GTK_MENU_ITEM(item));
  shown.sensitive = gtk_widget_get_sensitive(item);
  // The key the item's label shows: the one its accelerator group holds for it, when visible.
  GList* closures = gtk_widget_list_accel_closures(item);
  if (closures) {
    auto* closure = static_cast<GClosure*>(closures->data);
    GtkAccelKey* key = gtk_accel_group_find(
        gtk_accel_group_from_accel_closure(closure),
        [](GtkAccelKey*, GClosure* candidate, gpointer wanted) {
          return gboolean(candidate == wanted);
        },
        closure);
    if (key && (key->accel_flags & GTK_ACCEL_VISIBLE)) {
      shown.key = key->accel_key;
      shown.mods = key->accel_mods;
    }
  }
  g_list_free(closures);
  return shown;
}

class MenuBarTest : public ::testing::Test {
 protected:
  void SetUp() override {
    window = desktop().windows().createMainWindow({1240, 820});
    window->setTitle(title);
    view = &window->createWebView({});
    view->setDelegate(&delegate);
    gtkWindow = GtkMainWindow::mainWindow();
    window->present();
  }
  void TearDown() override { view->setDelegate(nullptr); }

  // The menu bar as the window holds it: the first child of its content.
  GtkWidget* bar() {
    GtkWidget* content = gtk_bin_get_child(GTK_BIN(gtkWindow));
    GtkWidget* first = children(content).at(0);
    return GTK_IS_MENU_BAR(first) ? first : nullptr;
  }

  std::vector<std::string> menuTitles() {
    std::vector<std::string> titles;
    for (GtkWidget* menu : children(bar())) {
      titles.push_back(gtk_menu_item_get_label(GTK_MENU_ITEM(menu)));
    }
    return titles;
  }

  std::vector<ShownItem> itemsOf(size_t menu) {
    std::vector<ShownItem> items;
    GtkWidget* submenu = gtk_menu_item_get_submenu(GTK_MENU_ITEM(children(bar()).at(menu)));
    for (GtkWidget* item : children(submenu)) items.push_back(inspect(item));
    return items;
  }

  // Waits until the window manager has given the window the keyboard.
  bool activeWithKeyboard() {
    return spinUntil([this] { return gtk_window_is_active(gtkWindow); });
  }

  void press(const std::string& keys) {
    ASSERT_EQ(runTool({"xdotool", "key", "--clearmodifiers", keys}).status, 0);
    spinFor(0.3);
  }

  MenuItem item(const std::string& name, std::optional<KeyEquivalent> key = std::nullopt,
                bool enabled = true) {
    MenuItem entry;
    entry.title = name;
    entry.enabled = enabled;
    entry.action = [this, name] { chosen.push_back(name); };
    entry.keyEquivalent = key;
    return entry;
  }

  static MenuItem menu(const std::string& name, std::vector<MenuItem> items) {
    MenuItem entry;
    entry.title = name;
    entry.submenu = std::move(items);
    return entry;
  }

  static MenuItem separator() {
    MenuItem entry;
    entry.separator = true;
    return entry;
  }

  const std::string title = "QN menu bar";
  std::unique_ptr<MainWindow> window;
  GtkWindow* gtkWindow = nullptr;
  WebView* view = nullptr;
  RecordingDelegate delegate;
  std::vector<std::string> chosen;
};

TEST_F(MenuBarTest, ShowsTheMenusWithTheirItemsAndKeys) {
  desktop().windows().menuBar().setMenus({
      menu("QN_App", {item("About_It"), separator(), item("Hide", KeyEquivalent{"h"}),
                      item("Others", KeyEquivalent{.key = "h", .option = true}, false)}),
      menu("编辑", {item("重做", KeyEquivalent{.key = "z", .shift = true})}),
  });
  ASSERT_TRUE(bar());
  EXPECT_EQ(menuTitles(), (std::vector<std::string>{"QN_App", "编辑"}));

  const auto app = itemsOf(0);
  ASSERT_EQ(app.size(), 4u);
  EXPECT_EQ(app[0].label, "About_It") << "titles are shown as they are, without mnemonics";
  EXPECT_EQ(app[0].key, 0u);
  EXPECT_EQ(app[1].label, "-");
  EXPECT_EQ(app[2].label, "Hide");
  EXPECT_EQ(app[2].key, guint(GDK_KEY_h));
  EXPECT_EQ(app[2].mods, GDK_CONTROL_MASK);
  EXPECT_EQ(app[3].label, "Others");
  EXPECT_FALSE(app[3].sensitive);
  EXPECT_EQ(app[3].key, guint(GDK_KEY_h));
  EXPECT_EQ(app[3].mods, GdkModifierType(GDK_CONTROL_MASK | GDK_MOD1_MASK));

  const auto edit = itemsOf(1);
  ASSERT_EQ(edit.size(), 1u);
  EXPECT_EQ(edit[0].label, "重做");
  EXPECT_EQ(edit[0].key, guint(GDK_KEY_z));
  EXPECT_EQ(edit[0].mods, GdkModifierType(GDK_CONTROL_MASK | GDK_SHIFT_MASK));
}

// The menu bar takes the top of the window's content; the web view fills the rest.
TEST_F(MenuBarTest, SitsAboveTheWebView) {
  desktop().windows().menuBar().setMenus({menu("One", {item("A")})});
  ASSERT_TRUE(activeWithKeyboard());
  GtkWidget* webView = children(gtk_bin_get_child(GTK_BIN(gtkWindow))).at(1);
  ASSERT_TRUE(spinUntil([&] { return gtk_widget_get_allocated_height(webView) > 1; }));
  GtkAllocation menus, page;
  gtk_widget_get_allocation(bar(), &menus);
  gtk_widget_get_allocation(webView, &page);
  EXPECT_EQ(menus.y, 0);
  EXPECT_GT(menus.height, 10);
  EXPECT_EQ(page.y, menus.height);
  EXPECT_EQ(page.width, 1240);
  EXPECT_EQ(page.y + page.height, 820);
}

// Real key presses, with the page holding the keyboard focus: the menu bar's keys come first.
TEST_F(MenuBarTest, KeyEquivalentsRunTheirItems) {
  desktop().windows().menuBar().setMenus({
      menu("Edit", {item("Undo", KeyEquivalent{"z"}),
                    item("Redo", KeyEquivalent{.key = "z", .shift = true})}),
      menu("View", {item("Reload", KeyEquivalent{"r"}),
                    item("Others", KeyEquivalent{.key = "h", .option = true}, false)}),
  });
  view->loadHTML("<input id=a autofocus>");
  ASSERT_TRUE(spinUntil([&] { return delegate.finished == 1; }));
  ASSERT_TRUE(activeWithKeyboard());

  press("ctrl+r");
  press("ctrl+z");
  press("ctrl+shift+z");
  press("ctrl+alt+h");
  press("r");

  EXPECT_EQ(chosen, (std::vector<std::string>{"Reload", "Undo", "Redo"}))
      << "a disabled item ignores its key; a key without Ctrl is the page's";
}

TEST_F(MenuBarTest, ReplacingTheMenusDropsTheOldItemsAndTheirKeys) {
  desktop().windows().menuBar().setMenus(
      {menu("Old", {item("old reload", KeyEquivalent{"r"}), item("old quit", KeyEquivalent{"q"})}),
       menu("Gone", {item("x")})});
  desktop().windows().menuBar().setMenus({menu("New", {item("new reload", KeyEquivalent{"r"})})});
  ASSERT_TRUE(activeWithKeyboard());
  EXPECT_EQ(menuTitles(), std::vector<std::string>{"New"});

  press("ctrl+r");
  press("ctrl+q");

  EXPECT_EQ(chosen, std::vector<std::string>{"new reload"});
}

TEST_F(MenuBarTest, TheKeyboardOpensAMenuAndChoosesAnItem) {
  desktop().windows().menuBar().setMenus({menu("Help", {item("Open Logs Folder")})});
  ASSERT_TRUE(activeWithKeyboard());
  GtkWidget* help = children(bar()).at(0);
  ASSERT_TRUE(spinUntil([&] { return gtk_widget_get_mapped(help); }));
  // F10 opens the first menu, as the desktop's keyboard access to menu bars does.
  press("F10");
  press("Down");
  press("Return");
  EXPECT_EQ(chosen, std::vector<std::string>{"Open Logs Folder"});
}

TEST_F(MenuBarTest, BecomingActiveIsReportedAndMinimiseIconifies) {
  int activations = 0;
  window->setActivationHandler([&] { ++activations; });
  auto other = desktop().windows().createMainWindow({400, 300});
  other->setTitle("QN other");
  other->present();
  ASSERT_TRUE(spinUntil([&] { return !gtk_window_is_active(gtkWindow); }));
  const int before = activations;

  other.reset();
  window->present();

  EXPECT_TRUE(spinUntil([&] { return activations == before + 1; }));
  window->minimize();
  EXPECT_TRUE(spinUntil([&] { return !window->isVisible(); }));
  window->present();
  EXPECT_TRUE(spinUntil([&] { return window->isVisible(); }));
}

}  // namespace
}  // namespace qn::test
