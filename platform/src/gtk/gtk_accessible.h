// The bridge from a window's accessible object (what the program gives for
// WM_GETOBJECT) to ATK: a top-level window's client area is a drawing area
// whose ATK object asks the window for its IAccessible, and shows that
// object's simple children as ATK objects of their own, as a drawn table
// shows its cells. Events of NotifyWinEvent become ATK's signals.
#pragma once

#include <gtk/gtk.h>

#include <string>

#include <windows.h>

namespace sorahiki::ui::gtk {

// The drawing area of hwnd's client area.
GtkWidget* NewClientArea(HWND hwnd);

// An event of NotifyWinEvent on the area's window (OBJID_CLIENT); nothing
// happens while no reader has asked for the area's ATK object.
void ClientAreaEvent(GtkWidget* area, DWORD event, LONG idChild);

// Names a control for a reader (an edit box after the label that names it).
void NameForReader(GtkWidget* widget, const std::string& name_utf8);
// Names a control as the object its window gives for WM_GETOBJECT is named
// (a button read otherwise than its label); nothing for a window that gives
// none.
void NameAsItsObject(GtkWidget* widget, HWND hwnd);

}  // namespace sorahiki::ui::gtk
