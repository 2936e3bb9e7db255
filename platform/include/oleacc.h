// Active Accessibility for the Linux build: the interfaces and calls of
// win32/accessibility.h. The Windows build takes the system's <oleacc.h>.
#pragma once

#include <windows.h>

#include "win32/accessibility.h"
