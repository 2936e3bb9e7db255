// The part of the Win32 API that Sorahiki calls, for the Linux build. The
// Windows build uses the platform's own <windows.h>; this folder is on the
// include path only on Linux.
#pragma once

#include "win32/types.h"
#include "win32/files.h"
#include "win32/user.h"
