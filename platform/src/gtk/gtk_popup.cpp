#include "platform/src/gtk/gtk_popup.h"

#include "platform/src/gtk/gtk_text.h"

namespace sorahiki::ui::gtk {
namespace {

constexpr const char* kCommandId = "sorahiki-command-id";

}  // namespace

PopupMenu::~PopupMenu() {
    if (m_menu) gtk_widget_destroy(m_menu);
}

void PopupMenu::Open(const PopupMenuRequest& request, GtkWidget* area, const GdkEvent* trigger) {
    if (m_menu) gtk_widget_destroy(m_menu);
    m_menu = gtk_menu_new();
    m_chosen = 0;
    m_open = true;
    for (const MenuEntry& entry : request.entries) {
        GtkWidget* item =
            entry.separator ? gtk_separator_menu_item_new()
                            : gtk_menu_item_new_with_mnemonic(GtkMnemonic(entry.text_utf8).c_str());
        if (!entry.separator) {
            g_object_set_data(G_OBJECT(item), kCommandId, GUINT_TO_POINTER(entry.id));
            g_signal_connect(item, "activate", G_CALLBACK(OnActivated), this);
        }
        gtk_menu_shell_append(GTK_MENU_SHELL(m_menu), item);
    }
    g_signal_connect(m_menu, "deactivate", G_CALLBACK(OnDeactivated), this);
    gtk_widget_show_all(m_menu);
    if (area && gtk_widget_get_window(area)) {
        const GdkRectangle at{request.at.x, request.at.y, 1, 1};
        gtk_menu_popup_at_rect(GTK_MENU(m_menu), gtk_widget_get_window(area), &at,
                               GDK_GRAVITY_NORTH_WEST, GDK_GRAVITY_NORTH_WEST, trigger);
        // Opened from the keyboard as much as by a click: the first item is
        // selected, so arrows and Enter work at once.
        gtk_menu_shell_select_first(GTK_MENU_SHELL(m_menu), FALSE);
    } else {
        m_open = false;
    }
}

bool PopupMenu::Poll(UINT* chosen) {
    if (m_open) return false;
    *chosen = m_chosen;
    return true;
}

void PopupMenu::OnActivated(GtkMenuItem* item, gpointer self) {
    static_cast<PopupMenu*>(self)->m_chosen =
        GPOINTER_TO_UINT(g_object_get_data(G_OBJECT(item), kCommandId));
}

// GTK closes the menu before it activates the item chosen: the menu counts
// as closed once the events of that moment are handled.
void PopupMenu::OnDeactivated(GtkMenuShell*, gpointer self) {
    g_idle_add(OnClosed, self);
}

gboolean PopupMenu::OnClosed(gpointer self) {
    static_cast<PopupMenu*>(self)->m_open = false;
    return G_SOURCE_REMOVE;
}

}  // namespace sorahiki::ui::gtk
