#pragma once

#include <gtk/gtk.h>

#include <string>
#include <vector>

#include "platform/Alerts.h"

namespace qn {

// A message dialog titled "QUENTRA" with the buttons in the given order (response ids 0..n-1),
// the first one the default. Modal; transient for parent when one is given.
GtkWidget* newMessageDialog(GtkWindow* parent, AlertStyle style, const std::string& message,
                            const std::string& informative,
                            const std::vector<std::string>& buttons);

// The answer a dialog response stands for: a button index, or -1 for GTK's own (closed, Escape).
inline int buttonIndex(gint response) {
  return response >= 0 ? response : -1;
}

}  // namespace qn
