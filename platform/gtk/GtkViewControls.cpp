// GtkViewControls: qn::Box and qn::DrawnView.
//   [x] boxes: filled rounded rectangles drawn under the controls they hold
//   [x] drawn views: Cairo drawing through GtkCanvas; pointer moves, leave and left press in the
//       view's own coordinates; a press on the view is not a press on the panel's background

#include "platform/gtk/GtkCanvas.h"
#include "platform/gtk/GtkControls.h"

namespace qn {

namespace {

Size allocatedSize(GtkWidget* widget) {
  return Size{double(gtk_widget_get_allocated_width(widget)),
              double(gtk_widget_get_allocated_height(widget))};
}

}  // namespace

GtkBoxControl::GtkBoxControl(Color color, double cornerRadius, GtkWidget* container)
    : GtkControl(gtk_fixed_new(), container), color_(color), cornerRadius_(cornerRadius) {
  g_signal_connect(widget_, "draw", G_CALLBACK(onDraw), this);
}

void GtkBoxControl::setColor(Color color) {
  color_ = color;
  gtk_widget_queue_draw(widget_);
}

// Runs before the container's own drawing, which then draws the children on top.
gboolean GtkBoxControl::onDraw(GtkWidget* widget, cairo_t* cr, gpointer data) {
  auto* self = static_cast<GtkBoxControl*>(data);
  GtkCanvas canvas(cr);
  canvas.fillRoundedRect(Rect{{0, 0}, allocatedSize(widget)}, self->cornerRadius_, self->color_);
  return FALSE;
}

GtkDrawnView::GtkDrawnView(ViewContent* content, GtkWidget* container)
    : GtkControl(gtk_drawing_area_new(), container), content_(content) {
  gtk_widget_add_events(widget_,
                        GDK_POINTER_MOTION_MASK | GDK_LEAVE_NOTIFY_MASK | GDK_BUTTON_PRESS_MASK);
  g_signal_connect(widget_, "draw", G_CALLBACK(onDraw), this);
  g_signal_connect(widget_, "motion-notify-event", G_CALLBACK(onMotion), this);
  g_signal_connect(widget_, "leave-notify-event", G_CALLBACK(onLeave), this);
  g_signal_connect(widget_, "button-press-event", G_CALLBACK(onPress), this);
}

gboolean GtkDrawnView::onDraw(GtkWidget* widget, cairo_t* cr, gpointer data) {
  GtkCanvas canvas(cr);
  static_cast<GtkDrawnView*>(data)->content_->draw(canvas, allocatedSize(widget));
  return TRUE;
}

gboolean GtkDrawnView::onMotion(GtkWidget*, GdkEventMotion* event, gpointer data) {
  static_cast<GtkDrawnView*>(data)->content_->mouseMoved(Point{event->x, event->y});
  return TRUE;
}

// Grab changes are not the pointer moving away; the release of a press that ended outside is.
gboolean GtkDrawnView::onLeave(GtkWidget*, GdkEventCrossing* event, gpointer data) {
  if (event->mode == GDK_CROSSING_NORMAL || event->mode == GDK_CROSSING_UNGRAB)
    static_cast<GtkDrawnView*>(data)->content_->mouseExited();
  return TRUE;
}

gboolean GtkDrawnView::onPress(GtkWidget*, GdkEventButton* event, gpointer data) {
  if (event->type == GDK_BUTTON_PRESS && event->button == 1)
    static_cast<GtkDrawnView*>(data)->content_->mouseDown(Point{event->x, event->y});
  return TRUE;
}

}  // namespace qn
