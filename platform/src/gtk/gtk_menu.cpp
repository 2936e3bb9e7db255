#include "platform/src/gtk/gtk_menu.h"

#include "platform/src/gtk/gtk_text.h"

namespace sorahiki::ui::gtk {
namespace {

InputGate g_gate = nullptr;  // one driver, one gate

constexpr const char* kCommandId = "sorahiki-command-id";
constexpr const char* kMenuHandle = "sorahiki-menu";
constexpr const char* kMenuIndex = "sorahiki-menu-index";

bool LetsIn(HWND hwnd) {
    return g_gate == nullptr || g_gate(hwnd);
}

void OnItemActivated(GtkMenuItem* item, gpointer hwnd) {
    const auto id = GPOINTER_TO_UINT(g_object_get_data(G_OBJECT(item), kCommandId));
    if (LetsIn(static_cast<HWND>(hwnd))) MenuCommand(static_cast<HWND>(hwnd), id);
}

void OnPopupShown(GtkWidget* popup, gpointer hwnd) {
    auto menu = static_cast<HMENU>(g_object_get_data(G_OBJECT(popup), kMenuHandle));
    const int index = GPOINTER_TO_INT(g_object_get_data(G_OBJECT(popup), kMenuIndex));
    if (LetsIn(static_cast<HWND>(hwnd))) InitMenuPopup(static_cast<HWND>(hwnd), menu, index);
    // A pop-up opened by a click takes its items' mnemonic keys only once an
    // item is selected.
    gtk_menu_shell_select_first(GTK_MENU_SHELL(popup), FALSE);
}

GtkWidget* MakePopup(HWND hwnd, HMENU menu, int index);

// Appends the entries of menu to shell: commands, and pop-ups that open.
void FillMenu(GtkWidget* shell, HWND hwnd, HMENU menu) {
    int position = 0;
    for (const MenuEntry& entry : MenuEntries(menu)) {
        GtkWidget* item = gtk_menu_item_new_with_mnemonic(GtkMnemonic(entry.text_utf8).c_str());
        if (entry.popup) {
            gtk_menu_item_set_submenu(GTK_MENU_ITEM(item), MakePopup(hwnd, entry.popup, position));
        } else {
            g_object_set_data(G_OBJECT(item), kCommandId, GUINT_TO_POINTER(entry.id));
            g_signal_connect(item, "activate", G_CALLBACK(OnItemActivated), hwnd);
        }
        gtk_menu_shell_append(GTK_MENU_SHELL(shell), item);
        ++position;
    }
}

GtkWidget* MakePopup(HWND hwnd, HMENU menu, int index) {
    GtkWidget* popup = gtk_menu_new();
    g_object_set_data(G_OBJECT(popup), kMenuHandle, menu);
    g_object_set_data(G_OBJECT(popup), kMenuIndex, GINT_TO_POINTER(index));
    g_signal_connect(popup, "show", G_CALLBACK(OnPopupShown), hwnd);
    FillMenu(popup, hwnd, menu);
    return popup;
}

}  // namespace

GtkWidget* MakeMenuBar(HWND hwnd, HMENU menu, InputGate gate) {
    g_gate = gate;
    GtkWidget* bar = gtk_menu_bar_new();
    FillMenu(bar, hwnd, menu);
    return bar;
}

}  // namespace sorahiki::ui::gtk
