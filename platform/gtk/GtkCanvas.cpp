// GtkCanvas: qn::Canvas on Cairo and Pango.
//   [x] rounded rectangles, ovals, one-line text with measured width
//   [x] the system font family from GtkSettings, tabular digits, regular/semibold/bold

#include "platform/gtk/GtkCanvas.h"

#include <gtk/gtk.h>
#include <pango/pangocairo.h>

#include <algorithm>
#include <cmath>
#include <string>

namespace qn {

namespace {

void setColor(cairo_t* cr, Color c) {
  cairo_set_source_rgba(cr, c.red, c.green, c.blue, c.alpha);
}

std::string systemFamily() {
  gchar* name = nullptr;
  GtkSettings* settings = gtk_settings_get_default();
  if (settings != nullptr) g_object_get(settings, "gtk-font-name", &name, nullptr);
  std::string family = "Sans";
  if (name != nullptr) {
    PangoFontDescription* description = pango_font_description_from_string(name);
    if (const char* f = pango_font_description_get_family(description)) family = f;
    pango_font_description_free(description);
    g_free(name);
  }
  return family;
}

PangoLayout* layoutFor(cairo_t* cr, const std::string& text, Font font) {
  static const std::string family = systemFamily();
  PangoLayout* layout = pango_cairo_create_layout(cr);
  PangoFontDescription* description = pango_font_description_new();
  pango_font_description_set_family(description, family.c_str());
  pango_font_description_set_absolute_size(description, font.size * PANGO_SCALE);
  pango_font_description_set_weight(description, font.weight == FontWeight::Bold ? PANGO_WEIGHT_BOLD
                                                 : font.weight == FontWeight::Semibold
                                                     ? PANGO_WEIGHT_SEMIBOLD
                                                     : PANGO_WEIGHT_NORMAL);
  pango_layout_set_font_description(layout, description);
  pango_font_description_free(description);
  PangoAttrList* attributes = pango_attr_list_new();
  pango_attr_list_insert(attributes, pango_attr_font_features_new("tnum"));
  pango_layout_set_attributes(layout, attributes);
  pango_attr_list_unref(attributes);
  pango_layout_set_text(layout, text.c_str(), static_cast<int>(text.size()));
  return layout;
}

}  // namespace

void GtkCanvas::fillRoundedRect(Rect r, double radius, Color color) {
  const double x = r.origin.x, y = r.origin.y, w = r.size.width, h = r.size.height;
  const double rad = std::clamp(radius, 0.0, std::min(w, h) / 2);
  cairo_new_sub_path(cr_);
  cairo_arc(cr_, x + w - rad, y + rad, rad, -M_PI / 2, 0);
  cairo_arc(cr_, x + w - rad, y + h - rad, rad, 0, M_PI / 2);
  cairo_arc(cr_, x + rad, y + h - rad, rad, M_PI / 2, M_PI);
  cairo_arc(cr_, x + rad, y + rad, rad, M_PI, 3 * M_PI / 2);
  cairo_close_path(cr_);
  setColor(cr_, color);
  cairo_fill(cr_);
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

void GtkCanvas::drawText(const std::string& text, Point topLeft, Font font, Color color) {
  PangoLayout* layout = layoutFor(cr_, text, font);
  setColor(cr_, color);
  cairo_move_to(cr_, topLeft.x, topLeft.y);
  pango_cairo_show_layout(cr_, layout);
  g_object_unref(layout);
}

}  // namespace qn
