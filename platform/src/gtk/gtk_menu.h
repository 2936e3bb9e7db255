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
// Shows the mark of command id of menu (a menu bar's, or one of its
// pop-ups'), turning a plain item into a check item.
void SetMenuItemChecked(HMENU menu, UINT id, bool checked);

}  // namespace sorahiki::ui::gtk
