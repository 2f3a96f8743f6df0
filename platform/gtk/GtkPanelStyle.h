#pragma once

#include <gtk/gtk.h>

namespace qn {

// Gives a panel window the companion's dark look: light text on translucent bezels, compact
// buttons that fit the frames the layout computes, linked segments.
void usePanelStyle(GtkWidget* window);

}  // namespace qn
