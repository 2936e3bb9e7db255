#include "platform/src/gtk/gtk_shell.h"

#include <gio/gio.h>

namespace sorahiki::ui::gtk {
namespace {

bool LaunchDefaultFor(const char* uri) {
    GError* error = nullptr;
    const bool started = g_app_info_launch_default_for_uri(uri, nullptr, &error);
    if (error) g_error_free(error);
    return started;
}

// Desktops whose defaults GIO does not see still have xdg-open.
bool SpawnXdgOpen(const char* path) {
    const char* argv[] = {"xdg-open", path, nullptr};
    GError* error = nullptr;
    const auto flags = static_cast<GSpawnFlags>(G_SPAWN_SEARCH_PATH | G_SPAWN_STDOUT_TO_DEV_NULL |
                                                G_SPAWN_STDERR_TO_DEV_NULL);
    const bool started = g_spawn_async(nullptr, const_cast<char**>(argv), nullptr, flags, nullptr,
                                       nullptr, nullptr, &error);
    if (error) g_error_free(error);
    return started;
}

// ShowItems([uri], startup id) on the session bus; false when no file manager
// took the call (no bus, or nobody owns the name).
bool AskFileManager(const char* uri) {
    GError* error = nullptr;
    GDBusConnection* bus = g_bus_get_sync(G_BUS_TYPE_SESSION, nullptr, &error);
    if (!bus) {
        g_error_free(error);
        return false;
    }
    const char* uris[] = {uri, nullptr};
    GVariant* reply = g_dbus_connection_call_sync(
        bus, "org.freedesktop.FileManager1", "/org/freedesktop/FileManager1",
        "org.freedesktop.FileManager1", "ShowItems", g_variant_new("(^ass)", uris, ""), nullptr,
        G_DBUS_CALL_FLAGS_NONE, 3000, nullptr, &error);
    g_object_unref(bus);
    if (error) g_error_free(error);
    if (!reply) return false;
    g_variant_unref(reply);
    return true;
}

}  // namespace

bool ShowInFileManager(const ShellRequest& request) {
    if (request.file_utf8.empty()) return false;
    char* uri = g_filename_to_uri(request.file_utf8.c_str(), nullptr, nullptr);
    bool started = uri && AskFileManager(uri);
    g_free(uri);
    if (!started) {
        char* folder = g_path_get_dirname(request.file_utf8.c_str());
        char* folderUri = g_filename_to_uri(folder, nullptr, nullptr);
        started = (folderUri && LaunchDefaultFor(folderUri)) || SpawnXdgOpen(folder);
        g_free(folderUri);
        g_free(folder);
    }
    return started;
}

bool OpenWithDesktop(const ShellRequest& request) {
    if (!request.has_file || request.file_utf8.empty()) return false;
    if (request.has_verb && request.verb != "open") return false;

    char* cwd = g_get_current_dir();
    char* path = g_path_is_absolute(request.file_utf8.c_str())
                     ? g_strdup(request.file_utf8.c_str())
                     : g_build_filename(cwd, request.file_utf8.c_str(), nullptr);
    bool started = false;
    if (g_file_test(path, G_FILE_TEST_EXISTS)) {
        char* uri = g_filename_to_uri(path, nullptr, nullptr);
        started = (uri && LaunchDefaultFor(uri)) || SpawnXdgOpen(path);
        g_free(uri);
    }
    g_free(path);
    g_free(cwd);
    return started;
}

}  // namespace sorahiki::ui::gtk
