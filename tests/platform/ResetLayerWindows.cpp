#include "tests/platform/LayerFixture.h"

// Each test cleans up after itself; the system needs no reset.
void conformance::ResetLayer() {}
