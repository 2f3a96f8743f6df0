// Modal alerts: what they show, and which index each way of answering them returns.

#include <gtest/gtest.h>

// After gtest: X11's headers define macros such as None that clash with its names.
#include <glib/gstdio.h>
#include <gtk/gtk.h>

#include <thread>

#include "tests/e2e/gtk/TestDesktop.h"

namespace qn::test {
namespace {

// The alert once it is on screen and has the keyboard.
GtkWidget* openDialog() {
  GtkWidget* found = nullptr;
  GList* toplevels = gtk_window_list_toplevels();
  for (GList* item = toplevels; item; item = item->next) {
    if (GTK_IS_MESSAGE_DIALOG(item->data) && gtk_window_is_active(GTK_WINDOW(item->data))) {
      found = GTK_WIDGET(item->data);
    }
  }
  g_list_free(toplevels);
  return found;
}

std::string property(GtkWidget* dialog, const char* name) {
  gchar* value = nullptr;
  g_object_get(dialog, name, &value, nullptr);
  std::string result = value ? value : "";
  g_free(value);
  return result;
}

struct Shown {
  std::string title;
  std::string text;
  std::string secondary;
  bool secondaryVisible = false;
  int type = -1;
  std::vector<std::string> buttons;
};

Shown inspect(GtkWidget* dialog) {
  Shown shown;
  shown.title = gtk_window_get_title(GTK_WINDOW(dialog));
  shown.text = property(dialog, "text");
  shown.secondary = property(dialog, "secondary-text");
  GtkWidget* area = gtk_message_dialog_get_message_area(GTK_MESSAGE_DIALOG(dialog));
  GList* labels = gtk_container_get_children(GTK_CONTAINER(area));
  shown.secondaryVisible =
      g_list_length(labels) > 1 && gtk_widget_get_visible(GTK_WIDGET(g_list_nth_data(labels, 1)));
  g_list_free(labels);
  GtkMessageType type;
  g_object_get(dialog, "message-type", &type, nullptr);
  shown.type = type;
  for (int i = 0;; ++i) {
    GtkWidget* button = gtk_dialog_get_widget_for_response(GTK_DIALOG(dialog), i);
    if (!button) break;
    shown.buttons.push_back(gtk_button_get_label(GTK_BUTTON(button)));
  }
  return shown;
}

class AlertsTest : public ::testing::Test {
 protected:
  // Runs the alert; once it is on screen, records what it shows and answers it with act.
  int run(const AlertOptions& options, const std::function<void(GtkWidget*)>& act,
          const std::function<int()>& runAlert = nullptr) {
    Timer poll = desktop().loop().every(0.05, [&] {
      GtkWidget* dialog = openDialog();
      if (!dialog || answered) return;
      answered = true;
      shown = inspect(dialog);
      act(dialog);
    });
    Timer giveUp = desktop().loop().after(20, [] {
      if (GtkWidget* dialog = openDialog()) gtk_dialog_response(GTK_DIALOG(dialog), 99);
    });
    int result = runAlert ? runAlert() : desktop().alerts().runModal(options);
    poll.cancel();
    giveUp.cancel();
    return result;
  }

  // The same for an alert with a check box.
  int runWithCheckBox(const AlertOptions& options, const std::string& checkBox, bool* checkBoxOn,
                      const std::function<void(GtkWidget*)>& act) {
    return run(options, act, [&] {
      return desktop().alerts().runModalWithCheckBox(options, checkBox, checkBoxOn);
    });
  }

  bool answered = false;
  Shown shown;
};

// Enter is pressed on the real keyboard path (XTEST), into the window the window manager focused.
TEST_F(AlertsTest, ShowsTheAlertAndEnterChoosesTheFirstButton) {
  std::thread keys;
  int chosen =
      run({AlertStyle::Warning, "Quit now?", "Threads keep running.", {"Quit", "Stay"}},
          [&](GtkWidget*) {
            keys = std::thread([] {
              g_spawn_command_line_sync("xdotool key Return", nullptr, nullptr, nullptr, nullptr);
            });
          });
  keys.join();

  EXPECT_EQ(chosen, 0);
  EXPECT_EQ(shown.title, "QUENTRA");
  EXPECT_EQ(shown.text, "Quit now?");
  EXPECT_EQ(shown.secondary, "Threads keep running.");
  EXPECT_TRUE(shown.secondaryVisible);
  EXPECT_EQ(shown.type, GTK_MESSAGE_WARNING);
  EXPECT_EQ(shown.buttons, (std::vector<std::string>{"Quit", "Stay"}));
}

TEST_F(AlertsTest, EachButtonReturnsItsIndex) {
  int chosen = run(
      {AlertStyle::Critical, "Port in use", "", {"OK", "Open_Log", "Retry"}},
      [](GtkWidget* dialog) {
        gtk_button_clicked(GTK_BUTTON(gtk_dialog_get_widget_for_response(GTK_DIALOG(dialog), 2)));
      });

  EXPECT_EQ(chosen, 2);
  EXPECT_EQ(shown.type, GTK_MESSAGE_ERROR);
  EXPECT_FALSE(shown.secondaryVisible);
  EXPECT_EQ(shown.buttons, (std::vector<std::string>{"OK", "Open_Log", "Retry"}));
}

TEST_F(AlertsTest, ClosingWithoutAButtonReturnsMinusOne) {
  int chosen = run({AlertStyle::Informational, "About", "Version 1", {"OK"}},
                   [](GtkWidget* dialog) { gtk_window_close(GTK_WINDOW(dialog)); });

  EXPECT_EQ(chosen, -1);
  EXPECT_EQ(shown.type, GTK_MESSAGE_INFO);
}

// The check box below the texts, found by its type.
GtkWidget* checkBoxOf(GtkWidget* dialog) {
  GtkWidget* area = gtk_message_dialog_get_message_area(GTK_MESSAGE_DIALOG(dialog));
  GtkWidget* found = nullptr;
  GList* children = gtk_container_get_children(GTK_CONTAINER(area));
  for (GList* child = children; child; child = child->next) {
    if (GTK_IS_CHECK_BUTTON(child->data)) found = GTK_WIDGET(child->data);
  }
  g_list_free(children);
  return found;
}

TEST_F(AlertsTest, TheCheckBoxStartsOffAndReportsItsState) {
  std::string title;
  bool initiallyOn = true;
  bool on = false;
  int chosen = runWithCheckBox(
      {AlertStyle::Informational, "Move?", "Reopens.", {"Move", "Not_Now"}}, "Don't _ask", &on,
      [&](GtkWidget* dialog) {
        GtkWidget* box = checkBoxOf(dialog);
        ASSERT_TRUE(box);
        title = gtk_button_get_label(GTK_BUTTON(box));
        initiallyOn = gtk_toggle_button_get_active(GTK_TOGGLE_BUTTON(box));
        gtk_button_clicked(GTK_BUTTON(box));
        gtk_button_clicked(GTK_BUTTON(gtk_dialog_get_widget_for_response(GTK_DIALOG(dialog), 1)));
      });
  EXPECT_EQ(chosen, 1);
  EXPECT_TRUE(on);
  EXPECT_FALSE(initiallyOn);
  EXPECT_EQ(title, "Don't _ask");
  EXPECT_EQ(shown.text, "Move?");
  EXPECT_EQ(shown.buttons, (std::vector<std::string>{"Move", "Not_Now"}));
}

// Enter on the real keyboard path chooses the first button; it does not toggle the box.
TEST_F(AlertsTest, EnterWithACheckBoxStillChoosesTheFirstButton) {
  std::thread keys;
  bool on = true;
  int chosen = runWithCheckBox({AlertStyle::Informational, "Move?", "", {"Move", "Not Now"}},
                               "Don't ask again", &on, [&](GtkWidget*) {
                                 keys = std::thread([] {
                                   g_spawn_command_line_sync("xdotool key Return", nullptr, nullptr,
                                                             nullptr, nullptr);
                                 });
                               });
  keys.join();
  EXPECT_EQ(chosen, 0);
  EXPECT_FALSE(on);
}

// An icon file holding one 256 × 256 PNG image ("ic08"), as icon files of this kind store them.
std::string writeIcon(const std::string& path) {
  GdkPixbuf* square = gdk_pixbuf_new(GDK_COLORSPACE_RGB, TRUE, 8, 256, 256);
  gdk_pixbuf_fill(square, 0x30d158ff);
  gchar* png = nullptr;
  gsize size = 0;
  gdk_pixbuf_save_to_buffer(square, &png, &size, "png", nullptr, nullptr);
  g_object_unref(square);
  const auto bigEndian = [](uint32_t value) {
    return std::string{char(value >> 24), char(value >> 16), char(value >> 8), char(value)};
  };
  const std::string entry = "ic08" + bigEndian(uint32_t(8 + size)) + std::string(png, size);
  g_free(png);
  const std::string icon = "icns" + bigEndian(uint32_t(8 + entry.size())) + entry;
  g_file_set_contents(path.c_str(), icon.data(), gssize(icon.size()), nullptr);
  return path;
}

// The image the dialog shows in place of its style's icon, or null.
GdkPixbuf* shownImage(GtkWidget* dialog) {
  G_GNUC_BEGIN_IGNORE_DEPRECATIONS
  GtkWidget* image = gtk_message_dialog_get_image(GTK_MESSAGE_DIALOG(dialog));
  G_GNUC_END_IGNORE_DEPRECATIONS
  if (!GTK_IS_IMAGE(image) || gtk_image_get_storage_type(GTK_IMAGE(image)) != GTK_IMAGE_PIXBUF) {
    return nullptr;
  }
  return gtk_image_get_pixbuf(GTK_IMAGE(image));
}

TEST_F(AlertsTest, ShowsTheIconFileWhenItLoads) {
  AlertOptions about{AlertStyle::Informational, "QUENTRA", "Version 1", {"OK"}};
  about.iconPath = writeIcon(std::string(g_get_user_runtime_dir()) + "/AppIcon.icns");
  int width = 0;
  int height = 0;
  run(about, [&](GtkWidget* dialog) {
    if (GdkPixbuf* pixels = shownImage(dialog)) {
      width = gdk_pixbuf_get_width(pixels);
      height = gdk_pixbuf_get_height(pixels);
    }
    gtk_dialog_response(GTK_DIALOG(dialog), 0);
  });
  EXPECT_EQ(width, 64);
  EXPECT_EQ(height, 64);
  g_remove(about.iconPath->c_str());
}

TEST_F(AlertsTest, AnIconFileThatDoesNotLoadLeavesTheStyleIcon) {
  AlertOptions about{AlertStyle::Informational, "QUENTRA", "Version 1", {"OK"}};
  about.iconPath = std::string(g_get_user_runtime_dir()) + "/broken.icns";
  g_file_set_contents(about.iconPath->c_str(), "not an icon", -1, nullptr);
  bool hasImage = true;
  run(about, [&](GtkWidget* dialog) {
    hasImage = shownImage(dialog) != nullptr;
    gtk_dialog_response(GTK_DIALOG(dialog), 0);
  });
  EXPECT_TRUE(answered);
  EXPECT_FALSE(hasImage);
  g_remove(about.iconPath->c_str());
}

}  // namespace
}  // namespace qn::test
