// Folders that come from the desktop: GTK's folder chooser for
// SHBrowseForFolderA, and files dropped on a top-level window.
#pragma once

#include <gtk/gtk.h>

#include <string>

#include "platform/src/gtk/gtk_menu.h"

namespace sorahiki::ui::gtk {

// Runs GTK's folder chooser, modal over owner; true with the folder chosen.
bool ChooseFolder(GtkWindow* owner, const std::string& title_utf8, std::string* folder_utf8);

// Makes window take a drop of files (text/uri-list): their local paths go
// to the layer as a drop on hwnd, while gate lets input in.
void TakeDroppedFiles(GtkWidget* window, HWND hwnd, InputGate gate);

}  // namespace sorahiki::ui::gtk
