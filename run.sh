#!/usr/bin/env bash
# Builds the Linux program and starts it on the sample data in examples/.
set -euo pipefail
cd "$(dirname "$0")"
scripts/install-deps.sh
cmake --preset default >/dev/null
cmake --build --preset default
cd examples
exec ../build/default/sorahiki "$@"
