// The start-up of the targets that search: each works in a fresh DATA folder
// of its own, made once before the first input.
#include <cstdint>

#include "fuzz/FuzzSupport.h"

extern "C" int LLVMFuzzerInitialize(int*, char***) {
    fuzz::EnterTemporaryDataFolder();
    return 0;
}
