#pragma once

#include <gtk/gtk.h>

#include <algorithm>
#include <cmath>
#include <string>
#include <vector>

#include "platform/Controls.h"

namespace qn {

// Controls sit in the panel's content, a GtkLayout, or in a box, a GtkFixed. A GtkLayout's size
// is its own, whatever its children would like, so the panel keeps the size of its frame.
inline void putControl(GtkWidget* container, GtkWidget* widget, int x, int y) {
  if (GTK_IS_LAYOUT(container)) {
    gtk_layout_put(GTK_LAYOUT(container), widget, x, y);
  } else {
    gtk_fixed_put(GTK_FIXED(container), widget, x, y);
  }
}

inline void moveControl(GtkWidget* container, GtkWidget* widget, int x, int y) {
  if (GTK_IS_LAYOUT(container)) {
    gtk_layout_move(GTK_LAYOUT(container), widget, x, y);
  } else {
    gtk_fixed_move(GTK_FIXED(container), widget, x, y);
  }
}

// A control's widget inside its container, placed at its frame. The container owns the widget;
// it goes with the panel's window.
template <class Base>
class GtkControl : public Base {
 public:
  GtkControl(GtkWidget* widget, GtkWidget* container) : widget_(widget), container_(container) {
    putControl(container_, widget_, 0, 0);
    // Until it has a frame with an area the control shows nowhere.
    gtk_widget_set_child_visible(widget_, FALSE);
    gtk_widget_show(widget_);
  }
  void setFrame(Rect frame) override;
  Rect frame() const override { return frame_; }
  void setHidden(bool hidden) override { gtk_widget_set_visible(widget_, !hidden); }
  bool isHidden() const override { return !gtk_widget_get_visible(widget_); }

 protected:
  GtkWidget* const widget_;

 private:
  GtkWidget* const container_;
  Rect frame_;
};

// Edges are rounded to whole pixels, so controls that share an edge neither overlap nor gap. An
// empty frame shows nothing.
template <class Base>
void GtkControl<Base>::setFrame(Rect frame) {
  if (frame.origin.x == frame_.origin.x && frame.origin.y == frame_.origin.y &&
      frame.size.width == frame_.size.width && frame.size.height == frame_.size.height)
    return;
  frame_ = frame;
  const long left = std::lround(frame.origin.x), top = std::lround(frame.origin.y);
  const long right = std::lround(frame.origin.x + frame.size.width);
  const long bottom = std::lround(frame.origin.y + frame.size.height);
  const int width = int(std::max(0L, right - left)), height = int(std::max(0L, bottom - top));
  gtk_widget_set_size_request(widget_, width, height);
  moveControl(container_, widget_, int(left), int(top));
  // A widget takes at least its own minimum size, however small the frame.
  gtk_widget_set_child_visible(widget_, width > 0 && height > 0);
}

class GtkLabelControl : public GtkControl<Label> {
 public:
  GtkLabelControl(Font font, Color color, GtkWidget* container);
  ~GtkLabelControl() override;
  GtkLabelControl(const GtkLabelControl&) = delete;
  GtkLabelControl& operator=(const GtkLabelControl&) = delete;
  void setFrame(Rect frame) override;
  void setText(const std::string& text) override;
  const std::string& text() const override { return text_; }
  void setColor(Color color) override;
  Color color() const override { return color_; }
  double heightForWidth(double width, double maxHeight) const override;

 private:
  // The text laid out at the width, as the label lays it out; kept until the text changes, so
  // placing a label (set text, measure, set frame) lays it out once.
  PangoLayout* layoutAt(double width) const;
  // Limits the label to the lines that fit its frame, the last one cut with an ellipsis.
  void fitToFrame();

  const Font font_;
  Color color_;
  std::string text_;
  PangoLayout* const layout_;
};

class GtkButtonControl : public GtkControl<Button> {
 public:
  GtkButtonControl(const ButtonStyle& style, GtkWidget* container);
  void setTitle(const std::string& title) override;
  const std::string& title() const override { return title_; }
  void setEnabled(bool enabled) override { gtk_widget_set_sensitive(widget_, enabled); }
  bool isEnabled() const override { return gtk_widget_get_sensitive(widget_); }
  double naturalWidth() const override;

 private:
  GtkWidget* const label_;
  std::string title_;
};

class GtkSegmentedControl : public GtkControl<SegmentedControl> {
 public:
  GtkSegmentedControl(const std::vector<std::string>& titles, Font font, GtkWidget* container);
  void setSelected(int index) override;
  int selected() const override { return selected_; }

 private:
  static void onToggled(GtkToggleButton* button, gpointer data);
  void showSelection();

  std::vector<GtkWidget*> segments_;
  int selected_ = -1;
  bool showing_ = false;
};

class GtkBoxControl : public GtkControl<Box> {
 public:
  GtkBoxControl(Color color, double cornerRadius, GtkWidget* container);
  void setColor(Color color) override;
  Color color() const override { return color_; }
  // Where controls inside the box go.
  GtkWidget* container() const { return widget_; }

 private:
  static gboolean onDraw(GtkWidget* widget, cairo_t* cr, gpointer data);
  Color color_;
  const double cornerRadius_;
};

class GtkDrawnView : public GtkControl<DrawnView> {
 public:
  GtkDrawnView(ViewContent* content, GtkWidget* container);
  void setNeedsDisplay() override { gtk_widget_queue_draw(widget_); }

 private:
  static gboolean onDraw(GtkWidget* widget, cairo_t* cr, gpointer data);
  static gboolean onMotion(GtkWidget*, GdkEventMotion* event, gpointer data);
  static gboolean onLeave(GtkWidget*, GdkEventCrossing* event, gpointer data);
  static gboolean onPress(GtkWidget*, GdkEventButton* event, gpointer data);
  ViewContent* const content_;
};

}  // namespace qn
