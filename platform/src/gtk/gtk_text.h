// Small conversions between what the window layer hands over and what GTK
// takes: mnemonic markers, key codes and UTF-8 literals.
#pragma once

#include <gdk/gdk.h>

#include <string>

namespace sorahiki::ui::gtk {

// A Win32 control or menu text with '&' mnemonic markers, written the GTK
// way: "&F" becomes "_F", "&&" a plain '&', and a plain '_' is doubled.
std::string GtkMnemonic(const std::string& win32_text);

// The virtual-key code of a key, or 0 for a key the program never sees.
int VirtualKeyOf(guint keyval);

// Our narrow literals are stored as code page 932; GTK wants UTF-8.
inline const char* Utf8(const char8_t* text) {
    return reinterpret_cast<const char*>(text);
}

}  // namespace sorahiki::ui::gtk
