#!/usr/bin/env bash
# Regenerates docs/screenshot-linux.png and docs/screenshot-windows.png: builds
# both programs and runs the end-to-end driver on each, which saves the
# window after its first search ("料理 apple", the pointer on row 2).
set -euo pipefail
cd "$(dirname "$0")/.."

for preset in default windows; do
  cmake --preset "$preset" >/dev/null
  cmake --build --preset "$preset" --target sorahiki
done

python3 tests/e2e/run_e2e.py --program build/default/app/sorahiki \
  --work build/screenshots/linux --screenshot docs/screenshot-linux.png
python3 tests/e2e/run_e2e.py --program build/windows/app/sorahiki.exe --wine \
  --wine-prefix build/screenshots/wineprefix --work build/screenshots/windows \
  --screenshot docs/screenshot-windows.png
