#pragma once
#include "windows.h"

// What ShellExecuteA returns when the file is not there.
#define SE_ERR_FNF 2
