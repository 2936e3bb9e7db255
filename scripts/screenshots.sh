#!/usr/bin/env bash
# Regenerates docs/screenshot-linux.png and docs/screenshot-windows.png: builds
# both programs and runs the end-to-end driver on each, which saves the
# window after its first search ("料理 apple", the pointer on row 2).
#
# usage: scripts/screenshots.sh [LINUX-BUILD-DIR WINDOWS-BUILD-DIR]
# Without arguments the build folders of the default and windows presets.
set -euo pipefail
cd "$(dirname "$0")/.."

if [ $# -eq 0 ]; then
  for preset in default windows; do
    cmake --preset "$preset" >/dev/null
  done
  set -- build/default build/windows
fi
linux_build=$1
windows_build=$2
cmake --build "$linux_build" --target sorahiki sorahiki_e2e_slow_open
cmake --build "$windows_build" --target sorahiki

work=build/screenshots
# The Linux program reads the large folder through the tests' slow disk, so
# that its search can be stopped before it ends.
python3 tests/e2e/run_e2e.py --program "$linux_build/app/sorahiki" \
  --slow-open "$linux_build/tests/e2e/libsorahiki_e2e_slow_open.so" \
  --work "$work/linux" --screenshot docs/screenshot-linux.png
python3 tests/e2e/run_e2e.py --program "$windows_build/app/sorahiki.exe" --wine \
  --wine-prefix "$work/wineprefix" --work "$work/windows" \
  --screenshot docs/screenshot-windows.png
