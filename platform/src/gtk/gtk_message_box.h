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

  private:
    struct Box {
        GtkWidget* dialog = nullptr;
        int answer = 0;
        bool yes_no = false;
    };
    static void OnResponse(GtkDialog* dialog, gint response, gpointer self);
    std::vector<Box> m_boxes;  // nested boxes, newest last
};

}  // namespace sorahiki::ui::gtk
