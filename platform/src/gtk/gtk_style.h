// The look of the dialogs and their controls: a grey dialog face and
// controls slim enough to fit the pixel rectangles of the dialog templates.
#pragma once

#include <gtk/gtk.h>

namespace sorahiki::ui::gtk {

// The style class of a dialog's box.
inline constexpr const char* kDialogClass = "sorahiki-dialog";

// Installs the style for the whole display; call once after GTK started.
void InstallStyle();

// The control's text, and that of the label inside a button, this many
// pixels high from now on.
void SetTextPixels(GtkWidget* control, int pixels);

}  // namespace sorahiki::ui::gtk
