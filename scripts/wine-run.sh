#!/usr/bin/env bash
# Usage: scripts/wine-run.sh PROGRAM.exe [ARGUMENTS...]
#
# Runs a Windows program under Wine in the environment of wine-env.sh and
# returns its exit status. Used by CTest as the emulator of the Windows
# build. Without DISPLAY it lends the program a private X server, stopped at
# the end; the prefix is prepared by wine-prefix.sh first.
set -uo pipefail

if [ $# -lt 1 ]; then
  echo "usage: $0 PROGRAM.exe [ARGUMENTS...]" >&2
  exit 2
fi

root=$(cd "$(dirname "$0")/.." && pwd)
. "$root/scripts/wine-env.sh"
trap wine_env_display_down EXIT

wine_env_display_up || exit 1
"$root/scripts/wine-prefix.sh" "$WINEPREFIX" || exit 1

wine "$@"
