// Opening a file with the desktop's default application, for ShellExecuteA.
#pragma once

#include "platform/src/ui/driver.h"

namespace sorahiki::ui::gtk {

// Opens request.file_utf8 (relative paths against the current directory)
// with the default application for its type. Only the "open" verb (or none)
// is known. True when an application was started.
bool OpenWithDesktop(const ShellRequest& request);

// Shows request.file_utf8 (an absolute path) selected in the desktop's file
// manager through its D-Bus interface org.freedesktop.FileManager1; where no
// file manager answers there, opens the folder that holds it with the
// desktop's default handler for folders. True when either started.
bool ShowInFileManager(const ShellRequest& request);

}  // namespace sorahiki::ui::gtk
