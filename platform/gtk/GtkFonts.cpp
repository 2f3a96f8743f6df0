// GtkFonts: the ports' fonts as Pango attributes, shared by Cairo drawing and the widgets, so
// measured and shown text agree.
//   [x] the system family from GtkSettings, absolute pixel sizes, weights, tabular digits
//   [x] foreground colour with alpha

#include "platform/gtk/GtkFonts.h"

#include <gtk/gtk.h>

#include <algorithm>
#include <cmath>
#include <string>

namespace qn {

namespace {

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

PangoWeight weightOf(FontWeight weight) {
  switch (weight) {
    case FontWeight::Bold:
      return PANGO_WEIGHT_BOLD;
    case FontWeight::Semibold:
      return PANGO_WEIGHT_SEMIBOLD;
    case FontWeight::Medium:
      return PANGO_WEIGHT_MEDIUM;
    case FontWeight::Regular:
      break;
  }
  return PANGO_WEIGHT_NORMAL;
}

guint16 channel(double value) {
  return guint16(std::lround(std::clamp(value, 0.0, 1.0) * 65535));
}

}  // namespace

PangoAttrList* newFontAttributes(Font font) {
  static const std::string family = systemFamily();
  PangoFontDescription* description = pango_font_description_new();
  pango_font_description_set_family(description, family.c_str());
  pango_font_description_set_absolute_size(description, font.size * PANGO_SCALE);
  pango_font_description_set_weight(description, weightOf(font.weight));
  PangoAttrList* attributes = pango_attr_list_new();
  pango_attr_list_insert(attributes, pango_attr_font_desc_new(description));
  pango_attr_list_insert(attributes, pango_attr_font_features_new("tnum"));
  pango_font_description_free(description);
  return attributes;
}

PangoAttrList* newColoredFontAttributes(Font font, Color color) {
  PangoAttrList* attributes = newFontAttributes(font);
  pango_attr_list_insert(
      attributes,
      pango_attr_foreground_new(channel(color.red), channel(color.green), channel(color.blue)));
  // Pango takes an alpha of 0 for "unset", which would draw an invisible colour opaque.
  pango_attr_list_insert(
      attributes, pango_attr_foreground_alpha_new(std::max<guint16>(1, channel(color.alpha))));
  return attributes;
}

}  // namespace qn
