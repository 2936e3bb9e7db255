#include "platform/src/gtk/gtk_text.h"

#include <gdk/gdkkeysyms.h>

#include <windows.h>

namespace sorahiki::ui::gtk {

std::string GtkMnemonic(const std::string& win32_text) {
    std::string out;
    for (std::size_t i = 0; i < win32_text.size(); ++i) {
        const char c = win32_text[i];
        if (c == '&' && i + 1 < win32_text.size()) {
            ++i;
            out += win32_text[i] == '&' ? "&" : "_";
            if (win32_text[i] != '&') out += win32_text[i];
        } else if (c == '_') {
            out += "__";
        } else {
            out += c;
        }
    }
    return out;
}

int VirtualKeyOf(guint keyval) {
    const guint upper = gdk_keyval_to_upper(keyval);
    if ((upper >= GDK_KEY_A && upper <= GDK_KEY_Z) || (upper >= GDK_KEY_0 && upper <= GDK_KEY_9)) {
        return static_cast<int>(upper);  // 'A'..'Z' and '0'..'9' are their own codes
    }
    if (keyval >= GDK_KEY_F1 && keyval <= GDK_KEY_F12) {
        return 0x70 + static_cast<int>(keyval - GDK_KEY_F1);
    }
    switch (keyval) {
        case GDK_KEY_Escape:
            return VK_ESCAPE;
        case GDK_KEY_Return:
        case GDK_KEY_KP_Enter:
            return VK_RETURN;
        case GDK_KEY_BackSpace:
            return VK_BACK;
        case GDK_KEY_Tab:
            return VK_TAB;
        case GDK_KEY_space:
            return 0x20;
        case GDK_KEY_Left:
            return 0x25;
        case GDK_KEY_Up:
            return 0x26;
        case GDK_KEY_Right:
            return 0x27;
        case GDK_KEY_Down:
            return 0x28;
        default:
            return 0;
    }
}

}  // namespace sorahiki::ui::gtk
