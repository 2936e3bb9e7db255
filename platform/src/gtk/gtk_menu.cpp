// The menu bar's widgets: written on the program's one thread, by building
// and by the layer's CheckMenuItem; the widget of each command kept by its
// menu and id, so that a mark set later reaches it.
#include "platform/src/gtk/gtk_menu.h"

#include <map>
#include <utility>

#include "platform/src/gtk/gtk_text.h"

namespace sorahiki::ui::gtk {
namespace {

InputGate g_gate = nullptr;  // one driver, one gate

constexpr const char* kCommandId = "sorahiki-command-id";
constexpr const char* kMenuHandle = "sorahiki-menu";
constexpr const char* kMenuIndex = "sorahiki-menu-index";
constexpr const char* kOwner = "sorahiki-owner";

// The command items of every menu bar built, until their widget goes.
std::map<std::pair<HMENU, UINT>, GtkWidget*> g_items;

void ForgetItem(GtkWidget*, gpointer key) {
    auto* where = static_cast<std::pair<HMENU, UINT>*>(key);
    g_items.erase(*where);
    delete where;
}

bool LetsIn(HWND hwnd) {
    return g_gate == nullptr || g_gate(hwnd);
}

void SetMarkQuietly(GtkWidget* item, bool checked);

// A check item refused its command keeps the mark the program gave it: GTK
// turned it over already.
void OnItemActivated(GtkMenuItem* item, gpointer hwnd) {
    const auto id = GPOINTER_TO_UINT(g_object_get_data(G_OBJECT(item), kCommandId));
    if (LetsIn(static_cast<HWND>(hwnd))) {
        MenuCommand(static_cast<HWND>(hwnd), id);
    } else if (GTK_IS_CHECK_MENU_ITEM(item)) {
        GtkCheckMenuItem* check = GTK_CHECK_MENU_ITEM(item);
        SetMarkQuietly(GTK_WIDGET(item), !gtk_check_menu_item_get_active(check));
    }
}

// Setting the mark activates the item in GTK: that is no command.
void SetMarkQuietly(GtkWidget* item, bool checked) {
    g_signal_handlers_block_matched(item, G_SIGNAL_MATCH_FUNC, 0, 0, nullptr,
                                    reinterpret_cast<gpointer>(OnItemActivated), nullptr);
    gtk_check_menu_item_set_active(GTK_CHECK_MENU_ITEM(item), checked);
    g_signal_handlers_unblock_matched(item, G_SIGNAL_MATCH_FUNC, 0, 0, nullptr,
                                      reinterpret_cast<gpointer>(OnItemActivated), nullptr);
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

// A check item shows its mark; a screen reader hears it as a check item.
GtkWidget* NewItem(const MenuEntry& entry) {
    if (entry.separator) return gtk_separator_menu_item_new();
    const std::string text = GtkMnemonic(entry.text_utf8);
    if (!entry.checkable) return gtk_menu_item_new_with_mnemonic(text.c_str());
    GtkWidget* item = gtk_check_menu_item_new_with_mnemonic(text.c_str());
    gtk_check_menu_item_set_active(GTK_CHECK_MENU_ITEM(item), entry.checked);
    return item;
}

void ConnectCommand(GtkWidget* item, HWND hwnd, HMENU menu, UINT id) {
    g_object_set_data(G_OBJECT(item), kCommandId, GUINT_TO_POINTER(id));
    g_signal_connect(item, "activate", G_CALLBACK(OnItemActivated), hwnd);
    g_object_set_data(G_OBJECT(item), kOwner, hwnd);
    auto* key = new std::pair<HMENU, UINT>(menu, id);
    g_items[*key] = item;
    g_signal_connect(item, "destroy", G_CALLBACK(ForgetItem), key);
}

// Appends the entries of menu to shell: commands, and pop-ups that open.
void FillMenu(GtkWidget* shell, HWND hwnd, HMENU menu) {
    int position = 0;
    for (const MenuEntry& entry : MenuEntries(menu)) {
        GtkWidget* item = NewItem(entry);
        if (entry.popup) {
            gtk_menu_item_set_submenu(GTK_MENU_ITEM(item), MakePopup(hwnd, entry.popup, position));
        } else if (!entry.separator) {
            ConnectCommand(item, hwnd, menu, entry.id);
        }
        gtk_menu_shell_append(GTK_MENU_SHELL(shell), item);
        ++position;
    }
}

// A plain item whose mark is set for the first time becomes a check item in
// its place.
GtkWidget* AsCheckItem(GtkWidget* item, HMENU menu, UINT id) {
    if (GTK_IS_CHECK_MENU_ITEM(item)) return item;
    GtkWidget* shell = gtk_widget_get_parent(item);
    GList* children = gtk_container_get_children(GTK_CONTAINER(shell));
    const int position = g_list_index(children, item);
    g_list_free(children);
    auto hwnd = static_cast<HWND>(g_object_get_data(G_OBJECT(item), kOwner));
    GtkWidget* check =
        gtk_check_menu_item_new_with_mnemonic(gtk_menu_item_get_label(GTK_MENU_ITEM(item)));
    gtk_widget_destroy(item);
    ConnectCommand(check, hwnd, menu, id);
    gtk_menu_shell_insert(GTK_MENU_SHELL(shell), check, position);
    gtk_widget_show(check);
    return check;
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

void SetMenuItemChecked(HMENU menu, UINT id, bool checked) {
    auto found = g_items.find({menu, id});
    if (found == g_items.end()) return;
    SetMarkQuietly(AsCheckItem(found->second, menu, id), checked);
}

GtkWidget* MakeMenuBar(HWND hwnd, HMENU menu, InputGate gate) {
    g_gate = gate;
    GtkWidget* bar = gtk_menu_bar_new();
    FillMenu(bar, hwnd, menu);
    return bar;
}

}  // namespace sorahiki::ui::gtk
