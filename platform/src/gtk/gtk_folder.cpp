// See gtk_folder.h. Runs on the program's one thread; the drop's gate is set
// once, by the one driver.
#include "platform/src/gtk/gtk_folder.h"

#include <vector>

#include "platform/src/gtk/gtk_text.h"

namespace sorahiki::ui::gtk {
namespace {

InputGate g_dropGate = nullptr;

// Local files only: a URI of another scheme names nothing to search.
std::vector<std::string> LocalPaths(GtkSelectionData* data) {
    std::vector<std::string> paths;
    gchar** uris = gtk_selection_data_get_uris(data);
    for (gchar** uri = uris; uri != nullptr && *uri != nullptr; ++uri) {
        if (gchar* path = g_filename_from_uri(*uri, nullptr, nullptr)) {
            paths.emplace_back(path);
            g_free(path);
        }
    }
    g_strfreev(uris);
    return paths;
}

void OnDropReceived(GtkWidget*, GdkDragContext*, gint, gint, GtkSelectionData* data, guint, guint,
                    gpointer hwnd) {
    auto window = static_cast<HWND>(hwnd);
    if (g_dropGate != nullptr && !g_dropGate(window)) return;
    FilesDropped(window, LocalPaths(data));
}

}  // namespace

bool ChooseFolder(GtkWindow* owner, const std::string& title_utf8, std::string* folder_utf8) {
    GtkWidget* chooser = gtk_file_chooser_dialog_new(
        title_utf8.c_str(), owner, GTK_FILE_CHOOSER_ACTION_SELECT_FOLDER, Utf8(u8"キャンセル(_C)"),
        GTK_RESPONSE_CANCEL, Utf8(u8"選択(_S)"), GTK_RESPONSE_ACCEPT, nullptr);
    gtk_file_chooser_set_local_only(GTK_FILE_CHOOSER(chooser), TRUE);
    gtk_dialog_set_default_response(GTK_DIALOG(chooser), GTK_RESPONSE_ACCEPT);
    bool chosen = false;
    if (gtk_dialog_run(GTK_DIALOG(chooser)) == GTK_RESPONSE_ACCEPT) {
        if (gchar* folder = gtk_file_chooser_get_filename(GTK_FILE_CHOOSER(chooser))) {
            *folder_utf8 = folder;
            g_free(folder);
            chosen = true;
        }
    }
    gtk_widget_destroy(chooser);
    return chosen;
}

void TakeDroppedFiles(GtkWidget* window, HWND hwnd, InputGate gate) {
    g_dropGate = gate;
    gtk_drag_dest_set(window, GTK_DEST_DEFAULT_ALL, nullptr, 0, GDK_ACTION_COPY);
    gtk_drag_dest_add_uri_targets(window);
    g_signal_connect(window, "drag-data-received", G_CALLBACK(OnDropReceived), hwnd);
}

}  // namespace sorahiki::ui::gtk
