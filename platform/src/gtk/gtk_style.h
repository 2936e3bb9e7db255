// The look of the dialogs and their controls: a grey dialog face and
// controls slim enough to fit the pixel rectangles of the dialog templates.
#pragma once

namespace sorahiki::ui::gtk {

// The style class of a dialog's box.
inline constexpr const char* kDialogClass = "sorahiki-dialog";

// Installs the style for the whole display; call once after GTK started.
void InstallStyle();

}  // namespace sorahiki::ui::gtk
