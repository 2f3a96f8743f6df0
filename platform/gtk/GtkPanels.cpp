// GtkPanels: qn::Panels with GTK 3 popup windows.
//   [x] exact placement in desktop coordinates, levels among the companion's panels
//   [x] no focus, no taskbar or pager entry, every workspace (override-redirect windows)
//   [x] drawing through GtkCanvas; pointer enter/leave of the whole panel, left press/drag/release,
//       right press, delivered with the global pointer position while another application is active
//   [x] an RGBA visual when the screen has one, so clear corners stay clear under a compositor
//   [x] native controls (GtkControls) above the drawn content, in the dark panel style
//   [x] moving by dragging the background: the panel follows the pointer itself, because the
//       window manager does not move windows it does not manage
//   [x] context menus (GtkContextMenu)
//   [x] opacity and its animation (seen only under a compositing manager; the completion runs
//       either way)
//   [ ] panels are raised when ordered front; a normal window raised later by the window
//       manager is not pushed back below them

#include "platform/gtk/GtkPanels.h"

#include <gtk/gtk.h>

#include <algorithm>
#include <cmath>
#include <optional>

#include "platform/gtk/GtkCanvas.h"
#include "platform/gtk/GtkContextMenu.h"
#include "platform/gtk/GtkControls.h"
#include "platform/gtk/GtkDesktopSpace.h"
#include "platform/gtk/GtkPanelStyle.h"

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
    usePanelStyle(window_);
    // The content draws and takes the pointer in the layout's window; controls sit in it,
    // drawn after the content.
    root_ = gtk_layout_new(nullptr, nullptr);
    gtk_widget_add_events(root_, GDK_BUTTON_PRESS_MASK | GDK_BUTTON_RELEASE_MASK |
                                     GDK_BUTTON1_MOTION_MASK | GDK_ENTER_NOTIFY_MASK |
                                     GDK_LEAVE_NOTIFY_MASK);
    gtk_container_add(GTK_CONTAINER(window_), root_);
    g_signal_connect(root_, "draw", G_CALLBACK(onDraw), this);
    g_signal_connect(root_, "button-press-event", G_CALLBACK(onPress), this);
    g_signal_connect(root_, "button-release-event", G_CALLBACK(onRelease), this);
    g_signal_connect(root_, "motion-notify-event", G_CALLBACK(onMotion), this);
    g_signal_connect(root_, "enter-notify-event", G_CALLBACK(onCrossing), this);
    g_signal_connect(root_, "leave-notify-event", G_CALLBACK(onCrossing), this);
    gtk_widget_show(root_);
    applyFrame();
  }

  ~GtkPanel() override {
    if (fadeSource_ != 0) g_source_remove(fadeSource_);
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
  void setAlphaValue(double alpha) override {
    endFade();
    applyAlpha(alpha);
  }
  double alphaValue() const override { return alpha_; }
  void animateAlpha(double alpha, double seconds, std::function<void()> completion) override {
    endFade();
    fade_ = Fade{alpha_, std::clamp(alpha, 0.0, 1.0), g_get_monotonic_time(),
                 std::max(seconds, 0.0), std::move(completion)};
    fadeSource_ = g_timeout_add(16, onFadeTick, this);
  }
  void setContent(PanelContent* content) override {
    content_ = content;
    setNeedsDisplay();
  }
  void setNeedsDisplay() override { gtk_widget_queue_draw(root_); }
  void setMovableByBackground(bool movable) override { movable_ = movable; }

  Label* addLabel(Font font, Color color) override {
    return adopt(std::make_unique<GtkLabelControl>(font, color, root_));
  }
  Button* addButton(const ButtonStyle& style) override {
    return adopt(std::make_unique<GtkButtonControl>(style, root_));
  }
  SegmentedControl* addSegmentedControl(const std::vector<std::string>& titles,
                                        Font font) override {
    return adopt(std::make_unique<GtkSegmentedControl>(titles, font, root_));
  }
  Box* addBox(Color color, double cornerRadius, Box* parent) override {
    // A panel's boxes are all GtkBoxControls.
    GtkWidget* container =
        parent != nullptr ? static_cast<GtkBoxControl*>(parent)->container() : root_;
    return adopt(std::make_unique<GtkBoxControl>(color, cornerRadius, container));
  }
  DrawnView* addDrawnView(ViewContent* content) override {
    return adopt(std::make_unique<GtkDrawnView>(content, root_));
  }

  // Sets the hover state from where the pointer is now.
  void updateHover() {
    GdkWindow* window = gtk_widget_get_window(window_);
    if (window == nullptr) return;
    GdkDisplay* display = gdk_window_get_display(window);
    int x = 0, y = 0;
    gdk_device_get_position(gdk_seat_get_pointer(gdk_display_get_default_seat(display)), nullptr,
                            &x, &y);
    setHovered(isUnder(x, y));
  }

  void raise() {
    if (GdkWindow* w = gtk_widget_get_window(window_)) gdk_window_raise(w);
  }

 private:
  template <class T>
  T* adopt(std::unique_ptr<T> control) {
    T* raw = control.get();
    controls_.push_back(std::move(control));
    return raw;
  }

  void applyFrame() {
    const Rect root = GtkDesktopSpace::desktopToRoot(frame_);
    const int width = std::max(1, int(std::lround(root.size.width)));
    const int height = std::max(1, int(std::lround(root.size.height)));
    gtk_widget_set_size_request(root_, width, height);
    gtk_layout_set_size(GTK_LAYOUT(root_), guint(width), guint(height));
    gtk_window_resize(GTK_WINDOW(window_), width, height);
    gtk_window_move(GTK_WINDOW(window_), int(std::lround(root.origin.x)),
                    int(std::lround(root.origin.y)));
  }

  void applyAlpha(double alpha) {
    alpha_ = std::clamp(alpha, 0.0, 1.0);
    gtk_widget_set_opacity(window_, alpha_);
  }

  // A fade replaced or finished still completes, so callers waiting on it always hear back.
  void endFade() {
    if (fadeSource_ != 0) g_source_remove(fadeSource_);
    fadeSource_ = 0;
    if (!fade_) return;
    auto completion = std::move(fade_->completion);
    applyAlpha(fade_->to);
    fade_.reset();
    if (completion) completion();
  }

  static gboolean onFadeTick(gpointer data) {
    auto* self = static_cast<GtkPanel*>(data);
    const Fade& fade = *self->fade_;
    const double elapsed = double(g_get_monotonic_time() - fade.startedUs) / 1e6;
    if (elapsed >= fade.seconds) {
      self->fadeSource_ = 0;
      auto completion = std::move(self->fade_->completion);
      self->applyAlpha(fade.to);
      self->fade_.reset();
      if (completion) completion();
      return G_SOURCE_REMOVE;
    }
    self->applyAlpha(fade.from + (fade.to - fade.from) * elapsed / fade.seconds);
    return G_SOURCE_CONTINUE;
  }

  static Point global(double xRoot, double yRoot) {
    return GtkDesktopSpace::rootToDesktop(xRoot, yRoot);
  }

  // Whether the panel is on screen at the point (root coordinates).
  bool isUnder(double x, double y) const {
    const Rect root = GtkDesktopSpace::desktopToRoot(frame_);
    return isVisible() && x >= root.origin.x && y >= root.origin.y &&
           x < root.origin.x + root.size.width && y < root.origin.y + root.size.height;
  }

  void setHovered(bool inside) {
    if (inside == hovered_) return;
    hovered_ = inside;
    if (content_ == nullptr) return;
    if (inside) {
      content_->mouseEntered();
    } else {
      content_->mouseExited();
    }
  }

  static gboolean onDraw(GtkWidget* widget, cairo_t* cr, gpointer data) {
    auto* self = static_cast<GtkPanel*>(data);
    // The layout's outer window lies under its own and shows nothing.
    if (!gtk_cairo_should_draw_window(cr, gtk_layout_get_bin_window(GTK_LAYOUT(widget))))
      return FALSE;
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
    // The layout's own handler draws the controls on top.
    return FALSE;
  }

  // Presses here are on the background: controls take their own.
  static gboolean onPress(GtkWidget*, GdkEventButton* event, gpointer data) {
    auto* self = static_cast<GtkPanel*>(data);
    if (event->type != GDK_BUTTON_PRESS) return TRUE;
    const Point at = global(event->x_root, event->y_root);
    if (event->button == 1 && self->movable_) self->moveFrom_ = MoveStart{at, self->frame_.origin};
    if (self->content_ == nullptr) return TRUE;
    if (event->button == 1) self->content_->mouseDown(at);
    if (event->button == 3) self->content_->rightMouseDown(at);
    return TRUE;
  }

  static gboolean onRelease(GtkWidget*, GdkEventButton* event, gpointer data) {
    auto* self = static_cast<GtkPanel*>(data);
    if (event->button != 1) return TRUE;
    self->moveFrom_.reset();
    if (self->content_ != nullptr) self->content_->mouseUp(global(event->x_root, event->y_root));
    return TRUE;
  }

  static gboolean onMotion(GtkWidget*, GdkEventMotion* event, gpointer data) {
    auto* self = static_cast<GtkPanel*>(data);
    if ((event->state & GDK_BUTTON1_MASK) == 0) return TRUE;
    const Point at = global(event->x_root, event->y_root);
    if (self->moveFrom_) {
      const MoveStart& from = *self->moveFrom_;
      self->frame_.origin = Point{from.frameOrigin.x + at.x - from.pointer.x,
                                  from.frameOrigin.y + at.y - from.pointer.y};
      self->applyFrame();
    }
    if (self->content_ != nullptr) self->content_->mouseDragged(at);
    return TRUE;
  }

  // The pointer going between the background and a control inside (an inferior window) stays
  // in the panel; grab changes are not the pointer moving, the release of a drag that ended
  // outside is. GDK also reports a leave and an enter at the same point while it sets up a
  // window just mapped under the pointer: a leave counts only with the pointer off the panel.
  static gboolean onCrossing(GtkWidget*, GdkEventCrossing* event, gpointer data) {
    auto* self = static_cast<GtkPanel*>(data);
    const bool moved = event->mode == GDK_CROSSING_NORMAL || event->mode == GDK_CROSSING_UNGRAB;
    if (!moved || event->detail == GDK_NOTIFY_INFERIOR) return TRUE;
    if (event->type == GDK_ENTER_NOTIFY) {
      self->setHovered(true);
    } else if (!self->isUnder(event->x_root, event->y_root)) {
      self->setHovered(false);
    }
    return TRUE;
  }

  struct MoveStart {
    Point pointer;
    Point frameOrigin;
  };
  struct Fade {
    double from;
    double to;
    gint64 startedUs;
    double seconds;
    std::function<void()> completion;
  };

  GtkPanels& owner_;
  Rect frame_;
  int level_;
  GtkWidget* window_;
  GtkWidget* root_;
  PanelContent* content_ = nullptr;
  bool movable_ = false;
  bool hovered_ = false;
  std::optional<MoveStart> moveFrom_;
  double alpha_ = 1;
  std::optional<Fade> fade_;
  guint fadeSource_ = 0;
  std::vector<std::unique_ptr<Control>> controls_;

  friend class GtkPanels;
};

std::unique_ptr<Panel> GtkPanels::makePanel(Rect contentRect, const PanelRecipe& recipe) {
  auto panel = std::make_unique<GtkPanel>(*this, contentRect, recipe);
  panels_.push_back(panel.get());
  return panel;
}

// While the menu holds the pointer, panels hear nothing of it; when the menu closes with the
// pointer elsewhere, no crossing tells the panel it was left.
void GtkPanels::popUpMenu(const std::vector<MenuItem>& items, Point at) {
  popUpContextMenu(items, at, [this] {
    for (auto* panel : panels_) panel->updateHover();
  });
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
