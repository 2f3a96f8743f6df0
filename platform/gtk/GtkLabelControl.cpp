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
    : GtkControl(gtk_label_new(""), container), font_(font), color_(color) {
  GtkLabel* label = GTK_LABEL(widget_);
  gtk_label_set_line_wrap(label, TRUE);
  gtk_label_set_line_wrap_mode(label, PANGO_WRAP_WORD_CHAR);
  gtk_label_set_selectable(label, FALSE);
  gtk_label_set_justify(label, GTK_JUSTIFY_LEFT);
  gtk_label_set_xalign(label, 0);
  gtk_label_set_yalign(label, 0);
  setColor(color);
}

void GtkLabelControl::setFrame(Rect frame) {
  GtkControl::setFrame(frame);
  fitToFrame();
}

void GtkLabelControl::setText(const std::string& text) {
  text_ = text;
  gtk_label_set_text(GTK_LABEL(widget_), text.c_str());
  fitToFrame();
}

void GtkLabelControl::setColor(Color color) {
  color_ = color;
  PangoAttrList* attributes = newColoredFontAttributes(font_, color);
  gtk_label_set_attributes(GTK_LABEL(widget_), attributes);
  pango_attr_list_unref(attributes);
}

PangoLayout* GtkLabelControl::layoutAt(double width) const {
  PangoLayout* layout = gtk_widget_create_pango_layout(widget_, text_.c_str());
  PangoAttrList* attributes = newFontAttributes(font_);
  pango_layout_set_attributes(layout, attributes);
  pango_attr_list_unref(attributes);
  pango_layout_set_wrap(layout, PANGO_WRAP_WORD_CHAR);
  pango_layout_set_width(layout, int(std::max(1.0, width) * PANGO_SCALE));
  return layout;
}

double GtkLabelControl::heightForWidth(double width, double maxHeight) const {
  if (text_.empty()) return 0;
  PangoLayout* layout = layoutAt(width);
  int w = 0, h = 0;
  pango_layout_get_pixel_size(layout, &w, &h);
  g_object_unref(layout);
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
  g_object_unref(layout);
  GtkLabel* label = GTK_LABEL(widget_);
  const bool cut = fitting < lineCount;
  gtk_label_set_ellipsize(label, cut ? PANGO_ELLIPSIZE_END : PANGO_ELLIPSIZE_NONE);
  gtk_label_set_lines(label, cut ? std::max(1, fitting) : -1);
}

}  // namespace qn
