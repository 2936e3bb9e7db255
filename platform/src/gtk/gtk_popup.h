// The program's pop-up menus (TrackPopupMenu) as GtkMenus. The window layer
// runs its own nested loop while a menu is up and polls for the choice, so a
// menu here only opens and records the item chosen.
#pragma once

#include <gtk/gtk.h>

#include "platform/src/ui/driver.h"

namespace sorahiki::ui::gtk {

class PopupMenu {
  public:
    ~PopupMenu();

    // Opens the menu at a point of `area`, the owner's client area; trigger
    // is the input event that asked for it (its device takes the grab), or null.
    void Open(const PopupMenuRequest& request, GtkWidget* area, const GdkEvent* trigger);
    // The command chosen (0: dismissed) once the menu has closed.
    bool Poll(UINT* chosen);

  private:
    static void OnActivated(GtkMenuItem* item, gpointer self);
    static void OnDeactivated(GtkMenuShell* menu, gpointer self);
    static gboolean OnClosed(gpointer self);

    GtkWidget* m_menu = nullptr;
    UINT m_chosen = 0;
    bool m_open = false;
};

}  // namespace sorahiki::ui::gtk
