// A window's menu bar as a GtkMenuBar, built from the layer's menu.
#pragma once

#include <gtk/gtk.h>

#include "platform/src/ui/driver.h"

namespace sorahiki::ui::gtk {

// Whether a window takes input now (not while it owns an open message box).
using InputGate = bool (*)(HWND);

// Builds the menu bar of window hwnd. Choosing an item becomes WM_COMMAND and
// opening a pop-up WM_INITMENUPOPUP, both for hwnd, while gate lets input in.
GtkWidget* MakeMenuBar(HWND hwnd, HMENU menu, InputGate gate);

}  // namespace sorahiki::ui::gtk
