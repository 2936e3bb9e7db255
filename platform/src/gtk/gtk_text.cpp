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
        case GDK_KEY_ISO_Left_Tab:  // Tab with Shift held
            return VK_TAB;
        case GDK_KEY_space:
            return VK_SPACE;
        case GDK_KEY_Left:
        case GDK_KEY_KP_Left:
            return VK_LEFT;
        case GDK_KEY_Up:
        case GDK_KEY_KP_Up:
            return VK_UP;
        case GDK_KEY_Right:
        case GDK_KEY_KP_Right:
            return VK_RIGHT;
        case GDK_KEY_Down:
        case GDK_KEY_KP_Down:
            return VK_DOWN;
        case GDK_KEY_Page_Up:
        case GDK_KEY_KP_Page_Up:
            return VK_PRIOR;
        case GDK_KEY_Page_Down:
        case GDK_KEY_KP_Page_Down:
            return VK_NEXT;
        case GDK_KEY_Home:
        case GDK_KEY_KP_Home:
            return VK_HOME;
        case GDK_KEY_End:
        case GDK_KEY_KP_End:
            return VK_END;
        case GDK_KEY_Insert:
        case GDK_KEY_KP_Insert:
            return VK_INSERT;
        case GDK_KEY_Delete:
        case GDK_KEY_KP_Delete:
            return VK_DELETE;
        case GDK_KEY_Menu:
            return VK_APPS;
        default:
            return 0;
    }
}

}  // namespace sorahiki::ui::gtk
