#pragma once

#include <pango/pango.h>

#include "platform/Canvas.h"
#include "platform/Geometry.h"

namespace qn {

// Pango attributes for text in a port font: the system family at the size in pixels (a point of
// the ports is a pixel on screen), its weight and tabular digits. The caller unrefs the list.
PangoAttrList* newFontAttributes(Font font);

// The same attributes with the text drawn in the colour.
PangoAttrList* newColoredFontAttributes(Font font, Color color);

}  // namespace qn
