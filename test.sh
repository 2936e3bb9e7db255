#!/usr/bin/env bash
# Builds every configuration and runs every test: the Windows build's tests
# under Wine, the sanitizer build, and the normal Linux build (which also runs
# the end-to-end tests of both programs). Ends with CTest's summary.
set -euo pipefail
cd "$(dirname "$0")"
scripts/install-deps.sh

for preset in windows asan default; do
  cmake --preset "$preset" >/dev/null
  cmake --build --preset "$preset"
done

ctest --preset windows
ctest --preset asan
ctest --preset default
