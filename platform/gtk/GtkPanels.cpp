// GtkPanels: qn::Panels with GTK 3 popup windows.
//   [x] exact placement in desktop coordinates, levels among the companion's panels
//   [x] no focus, no taskbar or pager entry, every workspace (override-redirect windows)
//   [x] drawing through GtkCanvas; pointer enter/leave, left press/drag/release, right press,
//       delivered with the global pointer position while another application is active
//   [x] an RGBA visual when the screen has one, so clear corners stay clear under a compositor
//   [ ] panels are raised when ordered front; a normal window raised later by the window
//       manager is not pushed back below them

#include "platform/gtk/GtkPanels.h"

#include <gtk/gtk.h>

#include <algorithm>
#include <cmath>

#include "platform/gtk/GtkCanvas.h"
#include "platform/gtk/GtkDesktopSpace.h"

namespace qn {

class GtkPanel : public Panel {
 public:
  GtkPanel(GtkPanels& owner, Rect frame, const PanelRecipe& recipe)
      : owner_(owner), frame_(frame), level_(recipe.level) {
    window_ = gtk_window_new(GTK_WINDOW_POPUP);
    g_object_ref_sink(window_);
    GtkWindow* window = GTK_WINDOW(window_);
    gtk_window_set_accept_focus(window, FALSE);
    gtk_window_set_focus_on_map(window, FALSE);
    gtk_window_set_skip_taskbar_hint(window, TRUE);
    gtk_window_set_skip_pager_hint(window, TRUE);
    gtk_window_set_decorated(window, FALSE);
    gtk_window_set_resizable(window, FALSE);
    gtk_window_set_type_hint(window, GDK_WINDOW_TYPE_HINT_UTILITY);
    if (GdkVisual* rgba = gdk_screen_get_rgba_visual(gtk_widget_get_screen(window_));
        rgba != nullptr && !recipe.opaque)
      gtk_widget_set_visual(window_, rgba);
    gtk_widget_set_app_paintable(window_, TRUE);
    area_ = gtk_drawing_area_new();
    gtk_widget_add_events(area_, GDK_BUTTON_PRESS_MASK | GDK_BUTTON_RELEASE_MASK |
                                     GDK_BUTTON1_MOTION_MASK | GDK_ENTER_NOTIFY_MASK |
                                     GDK_LEAVE_NOTIFY_MASK);
    gtk_container_add(GTK_CONTAINER(window_), area_);
    g_signal_connect(area_, "draw", G_CALLBACK(onDraw), this);
    g_signal_connect(area_, "button-press-event", G_CALLBACK(onPress), this);
    g_signal_connect(area_, "button-release-event", G_CALLBACK(onRelease), this);
    g_signal_connect(area_, "motion-notify-event", G_CALLBACK(onMotion), this);
    g_signal_connect(area_, "enter-notify-event", G_CALLBACK(onCrossing), this);
    g_signal_connect(area_, "leave-notify-event", G_CALLBACK(onCrossing), this);
    gtk_widget_show(area_);
    applyFrame();
  }

  ~GtkPanel() override {
    owner_.forget(this);
    gtk_widget_destroy(window_);
    g_object_unref(window_);
  }

  void setFrame(Rect frame) override {
    frame_ = frame;
    applyFrame();
  }
  Rect frame() const override { return frame_; }
  void setLevel(int level) override {
    level_ = level;
    if (isVisible()) owner_.restack();
  }
  int level() const override { return level_; }
  void orderFrontRegardless() override {
    gtk_widget_show(window_);
    owner_.restack();
  }
  void orderOut() override { gtk_widget_hide(window_); }
  bool isVisible() const override { return gtk_widget_get_visible(window_); }
  void setContent(PanelContent* content) override {
    content_ = content;
    setNeedsDisplay();
  }
  void setNeedsDisplay() override { gtk_widget_queue_draw(area_); }

  void raise() {
    if (GdkWindow* w = gtk_widget_get_window(window_)) gdk_window_raise(w);
  }

 private:
  void applyFrame() {
    const Rect root = GtkDesktopSpace::desktopToRoot(frame_);
    const int width = std::max(1, int(std::lround(root.size.width)));
    const int height = std::max(1, int(std::lround(root.size.height)));
    gtk_widget_set_size_request(area_, width, height);
    gtk_window_resize(GTK_WINDOW(window_), width, height);
    gtk_window_move(GTK_WINDOW(window_), int(std::lround(root.origin.x)),
                    int(std::lround(root.origin.y)));
  }

  static Point global(double xRoot, double yRoot) {
    return GtkDesktopSpace::rootToDesktop(xRoot, yRoot);
  }

  static gboolean onDraw(GtkWidget* widget, cairo_t* cr, gpointer data) {
    auto* self = static_cast<GtkPanel*>(data);
    cairo_save(cr);
    cairo_set_operator(cr, CAIRO_OPERATOR_SOURCE);
    cairo_set_source_rgba(cr, 0, 0, 0, 0);
    cairo_paint(cr);
    cairo_restore(cr);
    if (self->content_ != nullptr) {
      GtkCanvas canvas(cr);
      self->content_->draw(canvas, Size{double(gtk_widget_get_allocated_width(widget)),
                                        double(gtk_widget_get_allocated_height(widget))});
    }
    return TRUE;
  }

  static gboolean onPress(GtkWidget*, GdkEventButton* event, gpointer data) {
    auto* self = static_cast<GtkPanel*>(data);
    if (self->content_ == nullptr || event->type != GDK_BUTTON_PRESS) return TRUE;
    const Point at = global(event->x_root, event->y_root);
    if (event->button == 1) self->content_->mouseDown(at);
    if (event->button == 3) self->content_->rightMouseDown(at);
    return TRUE;
  }

  static gboolean onRelease(GtkWidget*, GdkEventButton* event, gpointer data) {
    auto* self = static_cast<GtkPanel*>(data);
    if (self->content_ != nullptr && event->button == 1)
      self->content_->mouseUp(global(event->x_root, event->y_root));
    return TRUE;
  }

  static gboolean onMotion(GtkWidget*, GdkEventMotion* event, gpointer data) {
    auto* self = static_cast<GtkPanel*>(data);
    if (self->content_ != nullptr && (event->state & GDK_BUTTON1_MASK) != 0)
      self->content_->mouseDragged(global(event->x_root, event->y_root));
    return TRUE;
  }

  static gboolean onCrossing(GtkWidget*, GdkEventCrossing* event, gpointer data) {
    auto* self = static_cast<GtkPanel*>(data);
    // Crossings into child windows and grab changes are not the pointer moving; the release
    // of a drag that ended outside is.
    const bool moved = event->mode == GDK_CROSSING_NORMAL || event->mode == GDK_CROSSING_UNGRAB;
    if (self->content_ == nullptr || event->detail == GDK_NOTIFY_INFERIOR || !moved) return TRUE;
    if (event->type == GDK_ENTER_NOTIFY) {
      self->content_->mouseEntered();
    } else {
      self->content_->mouseExited();
    }
    return TRUE;
  }

  GtkPanels& owner_;
  Rect frame_;
  int level_;
  GtkWidget* window_;
  GtkWidget* area_;
  PanelContent* content_ = nullptr;

  friend class GtkPanels;
};

std::unique_ptr<Panel> GtkPanels::makePanel(Rect contentRect, const PanelRecipe& recipe) {
  auto panel = std::make_unique<GtkPanel>(*this, contentRect, recipe);
  panels_.push_back(panel.get());
  return panel;
}

void GtkPanels::restack() {
  std::vector<GtkPanel*> visible;
  for (auto* panel : panels_)
    if (panel->isVisible()) visible.push_back(panel);
  std::stable_sort(visible.begin(), visible.end(),
                   [](const GtkPanel* a, const GtkPanel* b) { return a->level() < b->level(); });
  for (auto* panel : visible) panel->raise();
}

void GtkPanels::forget(GtkPanel* panel) {
  std::erase(panels_, panel);
}

}  // namespace qn
