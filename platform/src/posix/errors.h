// The Win32 error codes of the Linux file layer.
#pragma once

#include <windows.h>

// The Win32 error code that stands nearest to an errno value.
DWORD Win32ErrorFromErrno(int error);
