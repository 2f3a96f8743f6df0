// GtkButtonControls: qn::Button and qn::SegmentedControl as GTK buttons.
//   [x] push buttons with the style's font; titles that do not fit end in an ellipsis
//   [x] natural width: the button's own preferred width for its title on one line
//   [x] segments as linked toggle buttons of equal width, at most one pressed in
//   [x] clicks never take the keyboard focus; onSelect only for the user's clicks

#include "platform/gtk/GtkControls.h"
#include "platform/gtk/GtkFonts.h"

namespace qn {

namespace {

GtkWidget* titleLabel(const std::string& title, Font font) {
  GtkWidget* label = gtk_label_new(title.c_str());
  PangoAttrList* attributes = newFontAttributes(font);
  gtk_label_set_attributes(GTK_LABEL(label), attributes);
  pango_attr_list_unref(attributes);
  gtk_label_set_ellipsize(GTK_LABEL(label), PANGO_ELLIPSIZE_END);
  gtk_widget_show(label);
  return label;
}

// A button holding the label, which a click does not focus.
GtkWidget* holding(GtkWidget* button, GtkWidget* label) {
  gtk_container_add(GTK_CONTAINER(button), label);
  gtk_widget_set_focus_on_click(button, FALSE);
  gtk_widget_set_can_focus(button, FALSE);
  return button;
}

}  // namespace

GtkButtonControl::GtkButtonControl(const ButtonStyle& style, GtkWidget* container)
    : GtkControl(gtk_button_new(), container),
      label_(titleLabel(style.title, style.font)),
      title_(style.title) {
  holding(widget_, label_);
  gtk_style_context_add_class(gtk_widget_get_style_context(widget_), "qn-push");
  g_signal_connect(widget_, "clicked", G_CALLBACK(+[](GtkButton*, gpointer data) {
                     auto* self = static_cast<GtkButtonControl*>(data);
                     if (self->onPress) self->onPress();
                   }),
                   this);
}

void GtkButtonControl::setTitle(const std::string& title) {
  title_ = title;
  gtk_label_set_text(GTK_LABEL(label_), title.c_str());
}

// The frame's size request would raise the preferred width to the frame's width; it is set
// aside while asking.
double GtkButtonControl::naturalWidth() const {
  int width = -1, height = -1;
  gtk_widget_get_size_request(widget_, &width, &height);
  gtk_widget_set_size_request(widget_, -1, -1);
  int natural = 0;
  gtk_widget_get_preferred_width(widget_, nullptr, &natural);
  gtk_widget_set_size_request(widget_, width, height);
  return natural;
}

GtkSegmentedControl::GtkSegmentedControl(const std::vector<std::string>& titles, Font font,
                                         GtkWidget* container)
    : GtkControl(gtk_box_new(GTK_ORIENTATION_HORIZONTAL, 0), container) {
  gtk_box_set_homogeneous(GTK_BOX(widget_), TRUE);
  gtk_style_context_add_class(gtk_widget_get_style_context(widget_), GTK_STYLE_CLASS_LINKED);
  for (const auto& title : titles) {
    GtkWidget* segment = holding(gtk_toggle_button_new(), titleLabel(title, font));
    g_signal_connect(segment, "toggled", G_CALLBACK(onToggled), this);
    gtk_box_pack_start(GTK_BOX(widget_), segment, TRUE, TRUE, 0);
    gtk_widget_show(segment);
    segments_.push_back(segment);
  }
}

void GtkSegmentedControl::setSelected(int index) {
  selected_ = index >= 0 && index < int(segments_.size()) ? index : -1;
  showSelection();
}

// A click toggles the clicked segment (also the one already pressed in, which stays so); the
// others follow the selection.
void GtkSegmentedControl::onToggled(GtkToggleButton* button, gpointer data) {
  auto* self = static_cast<GtkSegmentedControl*>(data);
  if (self->showing_) return;
  const auto at = std::find(self->segments_.begin(), self->segments_.end(), GTK_WIDGET(button));
  self->selected_ = int(at - self->segments_.begin());
  self->showSelection();
  if (self->onSelect) self->onSelect();
}

void GtkSegmentedControl::showSelection() {
  showing_ = true;
  for (size_t i = 0; i < segments_.size(); ++i)
    gtk_toggle_button_set_active(GTK_TOGGLE_BUTTON(segments_[i]), int(i) == selected_);
  showing_ = false;
}

}  // namespace qn
