// Modal message boxes as GTK message dialogs. The window layer runs its own
// nested loop while a box is up and polls for the answer, so a box here only
// opens the dialog and records the button the user chose.
#pragma once

#include <gtk/gtk.h>

#include <vector>

#include "platform/src/ui/driver.h"

namespace sorahiki::ui::gtk {

class MessageBoxes {
  public:
    ~MessageBoxes();

    // Opens a box over owner (may be null), modal for the application.
    void Open(const MessageBoxRequest& box, GtkWindow* owner);
    // The answer of the newest open box (IDOK, IDYES, IDNO) once the user
    // chose; the box is then gone.
    bool Poll(int* answer);
    // Whether an open box belongs to this window, which then takes no input,
    // as a disabled owner on Windows.
    bool Blocks(GtkWindow* window) const;

  private:
    struct Box {
        GtkWidget* dialog = nullptr;
        GtkWindow* owner = nullptr;
        int answer = 0;
    };
    static gboolean OnDelete(GtkWidget* dialog, GdkEvent* event, gpointer unused);
    static void OnResponse(GtkDialog* dialog, gint response, gpointer self);
    std::vector<Box> m_boxes;  // nested boxes, newest last
};

}  // namespace sorahiki::ui::gtk
