#!/usr/bin/env bash
# Usage: scripts/wine-run.sh PROGRAM.exe [ARGUMENTS...]
#
# Runs a Windows program under Wine as on a Japanese Windows and returns its
# exit status. Used by CTest as the emulator of the Windows build.
# - Without DISPLAY, starts a private Xvfb on a free display and stops it at
#   the end (after Wine's processes of this prefix have ended).
# - WINEPREFIX defaults to build/wineprefix in the repository; the prefix is
#   prepared by scripts/wine-prefix.sh when that script is present.
# - LANG=ja_JP.UTF-8 gives code page 932; WINEDEBUG=-all keeps Wine quiet.
set -uo pipefail

if [ $# -lt 1 ]; then
  echo "usage: $0 PROGRAM.exe [ARGUMENTS...]" >&2
  exit 2
fi

root=$(cd "$(dirname "$0")/.." && pwd)
export WINEPREFIX="${WINEPREFIX:-$root/build/wineprefix}"
export WINEDEBUG="${WINEDEBUG:--all}"
export WINEDLLOVERRIDES="${WINEDLLOVERRIDES:-mscoree,mshtml,winemenubuilder.exe=}"
export LANG=ja_JP.UTF-8
unset LC_ALL

xvfb_pid=""
cleanup() {
  if [ -n "$xvfb_pid" ]; then
    # Wine's helper processes hold the display until the server ends.
    timeout 20 wineserver -w 2>/dev/null
    kill "$xvfb_pid" 2>/dev/null
    wait "$xvfb_pid" 2>/dev/null
  fi
}
trap cleanup EXIT

start_xvfb() {
  local n
  for n in $(seq 90 190); do
    [ -e "/tmp/.X11-unix/X$n" ] || [ -e "/tmp/.X$n-lock" ] && continue
    Xvfb ":$n" -screen 0 1280x1024x24 -nolisten tcp >/dev/null 2>&1 &
    xvfb_pid=$!
    for _ in $(seq 1 100); do
      if [ -e "/tmp/.X11-unix/X$n" ]; then
        export DISPLAY=":$n"
        return 0
      fi
      kill -0 "$xvfb_pid" 2>/dev/null || break
      sleep 0.1
    done
    kill "$xvfb_pid" 2>/dev/null
    wait "$xvfb_pid" 2>/dev/null
    xvfb_pid=""
  done
  echo "wine-run.sh: could not start Xvfb" >&2
  return 1
}

if [ -z "${DISPLAY:-}" ]; then
  start_xvfb || exit 1
fi

if [ -x "$root/scripts/wine-prefix.sh" ]; then
  "$root/scripts/wine-prefix.sh" "$WINEPREFIX" || exit 1
else
  mkdir -p "$WINEPREFIX"
fi

wine "$@"
status=$?
exit "$status"
