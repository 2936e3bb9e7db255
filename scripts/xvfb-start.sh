#!/usr/bin/env bash
# Usage: scripts/xvfb-start.sh LOG [XVFB-OPTIONS...]
#
# Becomes a private Xvfb on a display number that no other server holds and
# writes that number and a newline on stdout once it accepts clients. Start
# it in the background: the process is the server, the caller's own child,
# ended with `kill`. Its messages go to LOG. Every private X server of the
# tests and scripts starts here.
set -euo pipefail

if [ $# -lt 1 ]; then
  echo "usage: $0 LOG [XVFB-OPTIONS...]" >&2
  exit 2
fi
log=$1
shift
exec Xvfb -displayfd 1 -nolisten tcp "$@" 2>>"$log" </dev/null
