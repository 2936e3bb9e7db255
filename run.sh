#!/usr/bin/env bash
# Builds the Linux program and starts it on the sample data in examples/.
# Without a display it runs the same search engine in the terminal instead.
# Installs only what the two programs need: without GoogleTest the
# configuration makes no test (./test.sh installs everything).
set -euo pipefail
cd "$(dirname "$0")"
scripts/install-deps.sh program
cmake --preset default >/dev/null
cmake --build --preset default --target sorahiki sorahiki-cli
cd examples
if [ -z "${DISPLAY:-}" ] && [ -z "${WAYLAND_DISPLAY:-}" ]; then
  echo "No display to open the window on; searching examples/DATA for 料理 with sorahiki-cli instead:"
  exec ../build/default/cli/sorahiki-cli 料理
fi
exec ../build/default/app/sorahiki "$@"
