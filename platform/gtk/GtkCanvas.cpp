// GtkCanvas: qn::Canvas on Cairo and Pango.
//   [x] rounded rectangles, ovals, one-line text with measured width and line height
//   [x] one line cut at the end with an ellipsis inside a rectangle
//   [x] the fonts of GtkFonts: system family, tabular digits, regular/medium/semibold/bold
//   [x] save/restore, rounded clips, stroked rounded rectangles, filled and stroked polygons
//   [x] images stretched into a rectangle (Cairo ARGB32 straight from the decoded pixels)

#include "platform/gtk/GtkCanvas.h"

#include <pango/pangocairo.h>

#include <algorithm>
#include <cmath>
#include <string>

#include "platform/gtk/GtkFonts.h"

namespace qn {

namespace {

void setColor(cairo_t* cr, Color c) {
  cairo_set_source_rgba(cr, c.red, c.green, c.blue, c.alpha);
}

PangoLayout* layoutFor(cairo_t* cr, const std::string& text, Font font) {
  PangoLayout* layout = pango_cairo_create_layout(cr);
  PangoAttrList* attributes = newFontAttributes(font);
  pango_layout_set_attributes(layout, attributes);
  pango_attr_list_unref(attributes);
  pango_layout_set_text(layout, text.c_str(), static_cast<int>(text.size()));
  return layout;
}

void roundedRectPath(cairo_t* cr, Rect r, double radius) {
  const double x = r.origin.x, y = r.origin.y, w = r.size.width, h = r.size.height;
  const double rad = std::clamp(radius, 0.0, std::max(0.0, std::min(w, h) / 2));
  cairo_new_sub_path(cr);
  cairo_arc(cr, x + w - rad, y + rad, rad, -M_PI / 2, 0);
  cairo_arc(cr, x + w - rad, y + h - rad, rad, 0, M_PI / 2);
  cairo_arc(cr, x + rad, y + h - rad, rad, M_PI / 2, M_PI);
  cairo_arc(cr, x + rad, y + rad, rad, M_PI, 3 * M_PI / 2);
  cairo_close_path(cr);
}

bool polygonPath(cairo_t* cr, const std::vector<Point>& points) {
  if (points.size() < 2) return false;
  cairo_new_path(cr);
  cairo_move_to(cr, points.front().x, points.front().y);
  for (size_t i = 1; i < points.size(); ++i) cairo_line_to(cr, points[i].x, points[i].y);
  cairo_close_path(cr);
  return true;
}

}  // namespace

void GtkCanvas::fillRoundedRect(Rect r, double radius, Color color) {
  roundedRectPath(cr_, r, radius);
  setColor(cr_, color);
  cairo_fill(cr_);
}

void GtkCanvas::save() {
  cairo_save(cr_);
}

void GtkCanvas::restore() {
  cairo_restore(cr_);
}

void GtkCanvas::clipRoundedRect(Rect rect, double radius) {
  roundedRectPath(cr_, rect, radius);
  cairo_clip(cr_);
}

void GtkCanvas::strokeRoundedRect(Rect rect, double radius, double lineWidth, Color color) {
  roundedRectPath(cr_, rect, radius);
  setColor(cr_, color);
  cairo_set_line_width(cr_, lineWidth);
  cairo_stroke(cr_);
}

void GtkCanvas::fillPolygon(const std::vector<Point>& points, Color color) {
  if (!polygonPath(cr_, points)) return;
  setColor(cr_, color);
  cairo_fill(cr_);
}

void GtkCanvas::strokePolygon(const std::vector<Point>& points, double lineWidth, Color color) {
  if (!polygonPath(cr_, points)) return;
  setColor(cr_, color);
  cairo_set_line_width(cr_, lineWidth);
  cairo_set_line_join(cr_, CAIRO_LINE_JOIN_ROUND);
  cairo_stroke(cr_);
}

void GtkCanvas::drawImage(const Image& image, Rect rect) {
  if (image.width <= 0 || image.height <= 0 || rect.size.width <= 0 || rect.size.height <= 0)
    return;
  if (image.pixels.size() < size_t(image.stride()) * size_t(image.height)) return;
  // Cairo only reads the pixels; the surface lives for this call alone.
  cairo_surface_t* surface = cairo_image_surface_create_for_data(
      const_cast<unsigned char*>(image.pixels.data()), CAIRO_FORMAT_ARGB32, image.width,
      image.height, image.stride());
  cairo_save(cr_);
  cairo_rectangle(cr_, rect.origin.x, rect.origin.y, rect.size.width, rect.size.height);
  cairo_clip(cr_);
  cairo_translate(cr_, rect.origin.x, rect.origin.y);
  cairo_scale(cr_, rect.size.width / image.width, rect.size.height / image.height);
  cairo_set_source_surface(cr_, surface, 0, 0);
  cairo_pattern_set_filter(cairo_get_source(cr_), CAIRO_FILTER_GOOD);
  cairo_set_operator(cr_, CAIRO_OPERATOR_SOURCE);
  cairo_paint(cr_);
  cairo_restore(cr_);
  cairo_surface_destroy(surface);
}

void GtkCanvas::fillOval(Rect r, Color color) {
  if (r.size.width <= 0 || r.size.height <= 0) return;
  cairo_save(cr_);
  cairo_translate(cr_, r.origin.x + r.size.width / 2, r.origin.y + r.size.height / 2);
  cairo_scale(cr_, r.size.width / 2, r.size.height / 2);
  cairo_arc(cr_, 0, 0, 1, 0, 2 * M_PI);
  cairo_restore(cr_);
  setColor(cr_, color);
  cairo_fill(cr_);
}

double GtkCanvas::textWidth(const std::string& text, Font font) {
  PangoLayout* layout = layoutFor(cr_, text, font);
  int width = 0, height = 0;
  pango_layout_get_size(layout, &width, &height);
  g_object_unref(layout);
  return double(width) / PANGO_SCALE;
}

double GtkCanvas::lineHeight(Font font) {
  // An empty layout still holds one line of the font's own height.
  PangoLayout* layout = layoutFor(cr_, "", font);
  int width = 0, height = 0;
  pango_layout_get_size(layout, &width, &height);
  g_object_unref(layout);
  return double(height) / PANGO_SCALE;
}

void GtkCanvas::drawText(const std::string& text, Point topLeft, Font font, Color color) {
  PangoLayout* layout = layoutFor(cr_, text, font);
  setColor(cr_, color);
  cairo_move_to(cr_, topLeft.x, topLeft.y);
  pango_cairo_show_layout(cr_, layout);
  g_object_unref(layout);
}

void GtkCanvas::drawTextTruncated(const std::string& text, Rect rect, Font font, Color color) {
  if (rect.size.width <= 0) return;
  PangoLayout* layout = layoutFor(cr_, text, font);
  pango_layout_set_single_paragraph_mode(layout, TRUE);
  pango_layout_set_width(layout, int(rect.size.width * PANGO_SCALE));
  pango_layout_set_ellipsize(layout, PANGO_ELLIPSIZE_END);
  setColor(cr_, color);
  cairo_move_to(cr_, rect.origin.x, rect.origin.y);
  pango_cairo_show_layout(cr_, layout);
  g_object_unref(layout);
}

}  // namespace qn
