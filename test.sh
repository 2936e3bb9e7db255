#!/usr/bin/env bash
# Builds every configuration and runs every test: the Windows build's tests
# under Wine, the sanitizer build, the read-ahead's tests under
# ThreadSanitizer, and the normal Linux build (which also runs the end-to-end
# tests of both programs, the Windows one from its zip). Builds the two
# packages and checks the Debian one. Ends with CTest's summary.
set -euo pipefail
cd "$(dirname "$0")"
scripts/install-deps.sh

# The Windows build first: its tests under Wine wait on Wine's server most
# of the time, so they run while the other configurations are built.
cmake --preset windows >/dev/null
cmake --build --preset windows
cmake --build --preset windows --target package
windows_log=build/windows-tests.log
ctest --preset windows -j2 >"$windows_log" 2>&1 &
windows_tests=$!

for preset in asan tsan default; do
  cmake --preset "$preset" >/dev/null
  nice -n 5 cmake --build --preset "$preset"
done
cmake --build --preset default --target package
version=$(build/default/cli/sorahiki-cli --version | cut -d' ' -f2)
scripts/check-deb.sh "build/default/sorahiki_${version}_amd64.deb"

# The unit tests run two at a time, and so do the end-to-end tests: each has
# its own X server and accessibility bus, the Wine ones take turns with the
# one prefix, and they leave the processor idle most of the time.
windows_status=0
wait "$windows_tests" || windows_status=$?
cat "$windows_log"
[ "$windows_status" -eq 0 ] || exit "$windows_status"
ctest --preset asan -j2
ctest --preset tsan -j2
ctest --preset default -LE e2e -j2
# The fuzz targets are built at the lowest priority while the end-to-end
# tests run, which leave the processor idle most of the time.
scripts/fuzz.sh --build-only >build/fuzz-build.log 2>&1 &
fuzz_build=$!
ctest --preset default -L e2e -j2
wait "$fuzz_build" || { cat build/fuzz-build.log; exit 1; }
scripts/fuzz.sh --seconds 10
