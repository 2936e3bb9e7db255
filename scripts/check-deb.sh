#!/usr/bin/env bash
# Checks the Debian package as a user gets it: lintian reports no error, the
# desktop entry is valid, and the sorahiki-cli inside it, unpacked into a
# temporary root, finds the sample files of examples/.
# usage: scripts/check-deb.sh PACKAGE.deb
set -euo pipefail
deb=$(realpath "$1")
cd "$(dirname "$0")/.."

root=$(mktemp -d)
trap 'rm -rf "$root"' EXIT
dpkg-deb -x "$deb" "$root"

desktop-file-validate "$root/usr/share/applications/sorahiki.desktop"
status=0
report=$(lintian --fail-on error "$deb" 2>&1) || status=$?
grep -v "running with root privileges" <<<"$report" || true
[ "$status" -eq 0 ] || { echo "check-deb: lintian reports an error" >&2; exit 1; }

version=$(dpkg-deb -f "$deb" Version)
cli="$root/usr/bin/sorahiki-cli"
[ "$("$cli" --version)" = "sorahiki-cli $version" ] || { echo "check-deb: wrong --version" >&2; exit 1; }
hits=$(cd examples && "$cli" --all --tsv 料理)
[ -n "$hits" ] || { echo "check-deb: sorahiki-cli of the package found nothing in examples/" >&2; exit 1; }
echo "check-deb: $(basename "$deb"): lintian without error, desktop entry valid," \
     "sorahiki-cli $version finds $(wc -l <<<"$hits") file(s) for 料理 in examples/"
