#include <sorahiki/headless.h>

#include "tests/platform/LayerFixture.h"

void conformance::ResetLayer() {
    sorahiki::headless::Reset();
}
