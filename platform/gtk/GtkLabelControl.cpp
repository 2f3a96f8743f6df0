// GtkLabelControl: qn::Label as a wrapping GtkLabel.
//   [x] left aligned, not selectable, wrapping at words and, within long words, at characters
//   [x] font and colour as Pango attributes (GtkFonts), measured with the label's own context
//   [x] text beyond the frame's height ends in an ellipsis on the last line that fits

#include <algorithm>
#include <cmath>

#include "platform/gtk/GtkControls.h"
#include "platform/gtk/GtkFonts.h"

namespace qn {

GtkLabelControl::GtkLabelControl(Font font, Color color, GtkWidget* container)
    : GtkControl(gtk_label_new(""), container),
      font_(font),
      color_(color),
      layout_(gtk_widget_create_pango_layout(widget_, "")) {
  PangoAttrList* attributes = newFontAttributes(font_);
  pango_layout_set_attributes(layout_, attributes);
  pango_attr_list_unref(attributes);
  pango_layout_set_wrap(layout_, PANGO_WRAP_WORD_CHAR);
  // New font settings or a new screen change the widget's Pango context under the layout.
  g_signal_connect_after(widget_, "style-updated", G_CALLBACK(+[](GtkWidget*, gpointer layout) {
                           pango_layout_context_changed(PANGO_LAYOUT(layout));
                         }),
                         layout_);
  GtkLabel* label = GTK_LABEL(widget_);
  gtk_label_set_line_wrap(label, TRUE);
  gtk_label_set_line_wrap_mode(label, PANGO_WRAP_WORD_CHAR);
  gtk_label_set_selectable(label, FALSE);
  gtk_label_set_justify(label, GTK_JUSTIFY_LEFT);
  gtk_label_set_xalign(label, 0);
  gtk_label_set_yalign(label, 0);
  setColor(color);
}

GtkLabelControl::~GtkLabelControl() {
  g_object_unref(layout_);
}

void GtkLabelControl::setFrame(Rect frame) {
  GtkControl::setFrame(frame);
  fitToFrame();
}

void GtkLabelControl::setText(const std::string& text) {
  if (text == text_) return;
  text_ = text;
  gtk_label_set_text(GTK_LABEL(widget_), text.c_str());
  pango_layout_set_text(layout_, text.c_str(), int(text.size()));
  fitToFrame();
}

void GtkLabelControl::setColor(Color color) {
  color_ = color;
  PangoAttrList* attributes = newColoredFontAttributes(font_, color);
  gtk_label_set_attributes(GTK_LABEL(widget_), attributes);
  pango_attr_list_unref(attributes);
}

PangoLayout* GtkLabelControl::layoutAt(double width) const {
  // Pango lays the text out again only when the width differs from the last one.
  pango_layout_set_width(layout_, int(std::max(1.0, width) * PANGO_SCALE));
  return layout_;
}

double GtkLabelControl::heightForWidth(double width, double maxHeight) const {
  if (text_.empty()) return 0;
  PangoLayout* layout = layoutAt(width);
  int w = 0, h = 0;
  pango_layout_get_pixel_size(layout, &w, &h);
  return std::min(maxHeight, double(h));
}

void GtkLabelControl::fitToFrame() {
  const Rect f = frame();
  PangoLayout* layout = layoutAt(f.size.width);
  const int lineCount = pango_layout_get_line_count(layout);
  int fitting = 0;
  PangoLayoutIter* iter = pango_layout_get_iter(layout);
  do {
    PangoRectangle line;
    pango_layout_iter_get_line_extents(iter, nullptr, &line);
    if (double(line.y + line.height) / PANGO_SCALE > f.size.height + 0.5) break;
    ++fitting;
  } while (pango_layout_iter_next_line(iter));
  pango_layout_iter_free(iter);
  GtkLabel* label = GTK_LABEL(widget_);
  const bool cut = fitting < lineCount;
  gtk_label_set_ellipsize(label, cut ? PANGO_ELLIPSIZE_END : PANGO_ELLIPSIZE_NONE);
  gtk_label_set_lines(label, cut ? std::max(1, fitting) : -1);
}

}  // namespace qn
