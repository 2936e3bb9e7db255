// Opening a file with the desktop's default application, for ShellExecuteA.
#pragma once

#include "platform/src/ui/driver.h"

namespace sorahiki::ui::gtk {

// Opens request.file_utf8 (relative paths against the current directory)
// with the default application for its type. Only the "open" verb (or none)
// is known. True when an application was started.
bool OpenWithDesktop(const ShellRequest& request);

}  // namespace sorahiki::ui::gtk
