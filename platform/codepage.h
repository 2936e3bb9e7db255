// Moved to <sorahiki/codepage.h>; kept until the last includes of this path
// are changed.
#pragma once

#include <sorahiki/codepage.h>
