#!/usr/bin/env bash
# Usage: scripts/wine-prefix.sh PREFIX-DIR
#
# Makes PREFIX-DIR a Wine prefix in which sorahiki.exe and the Windows unit
# tests run as on a Japanese Windows: code page 932 (from LANG=ja_JP.UTF-8),
# the Japanese user-interface fonts mapped to an installed Japanese font, no
# crash dialog, no Mono or Gecko installer and no desktop menu entries.
# Safe to run again and from several processes at once: the first run does
# the work, later runs return at once.
set -euo pipefail

if [ $# -ne 1 ]; then
  echo "usage: $0 PREFIX-DIR" >&2
  exit 2
fi

mkdir -p "$1"
prefix=$(cd "$1" && pwd)
export WINEPREFIX="$prefix"
. "$(dirname "$0")/wine-env.sh"

ready="$prefix/.sorahiki-ready"
[ -f "$ready" ] && exit 0

exec 9>"$prefix.lock"
flock 9
[ -f "$ready" ] && exit 0

# The Japanese font that stands in for the Windows ones. IPAPGothic is
# proportional like "MS UI Gothic"; IPAGothic is fixed-pitch like "MS Gothic".
font_file() { fc-list ":family=$1" file | head -n 1 | sed 's/: *$//'; }
proportional=IPAPGothic
fixed=IPAGothic
if [ -z "$(font_file "$proportional")" ] || [ -z "$(font_file "$fixed")" ]; then
  echo "wine-prefix.sh: the fonts $proportional and $fixed are missing (Debian package fonts-ipafont-gothic)" >&2
  exit 1
fi

# wineboot wants an X display for its first start; lend it a private one.
trap wine_env_display_down EXIT
wine_env_display_up

wineboot -i >/dev/null 2>&1 || true  # judged by the prefix it leaves, below
wineserver -w
if [ ! -f "$prefix/system.reg" ]; then
  echo "wine-prefix.sh: wineboot made no prefix in $prefix" >&2
  exit 1
fi

# Registry settings, as a version 5 file (UTF-16 with a byte order mark) so
# that the Japanese names of the fonts can stand in it.
reg_utf8="$prefix/sorahiki-setup.reg.txt"
reg_file="$prefix/sorahiki-setup.reg"
{
  echo 'Windows Registry Editor Version 5.00'
  echo
  echo '[HKEY_LOCAL_MACHINE\Software\Microsoft\Windows NT\CurrentVersion\FontSubstitutes]'
  for name in "MS UI Gothic" "MS Shell Dlg" "MS Shell Dlg 2" "MS PGothic" "ＭＳ Ｐゴシック" \
    "Meiryo" "Meiryo UI" "メイリオ" "Yu Gothic" "Yu Gothic UI" "游ゴシック"; do
    echo "\"$name\"=\"$proportional\""
  done
  for name in "MS Gothic" "ＭＳ ゴシック" "MS Mincho" "ＭＳ 明朝" "MS PMincho" "ＭＳ Ｐ明朝"; do
    echo "\"$name\"=\"$fixed\""
  done
  echo
  # Fonts without Japanese glyphs (the dialogs', menus' and message boxes'
  # defaults) fall back to the Japanese one.
  echo '[HKEY_LOCAL_MACHINE\Software\Microsoft\Windows NT\CurrentVersion\FontLink\SystemLink]'
  for name in "Tahoma" "Microsoft Sans Serif" "Segoe UI" "Lucida Sans Unicode" "Arial" "Times New Roman"; do
    echo "\"$name\"=hex(7):$(printf 'ipagp.ttf,%s\0\0' "$proportional" | iconv -t UTF-16LE | od -An -tx1 -v | tr -s ' \n' ',' | sed 's/^,//; s/,$//')"
  done
  echo
  # Text files open in Notepad, as on Windows.
  echo '[HKEY_CLASSES_ROOT\.txt]'
  echo '@="txtfile"'
  echo '"Content Type"="text/plain"'
  echo
  echo '[HKEY_CURRENT_USER\Software\Wine\WineDbg]'
  echo '"ShowCrashDialog"=dword:00000000'
  echo
  echo '[HKEY_CURRENT_USER\Software\Wine\DllOverrides]'
  echo '"winemenubuilder.exe"=""'
  echo '"mscoree"=""'
  echo '"mshtml"=""'
  echo
} >"$reg_utf8"
{ printf '\xff\xfe'; sed 's/$/\r/' "$reg_utf8" | iconv -f UTF-8 -t UTF-16LE; } >"$reg_file"
rm -f "$reg_utf8"

windows_path="Z:${reg_file//\//\\}"
wine regedit /S "$windows_path" >/dev/null 2>&1 || true  # judged by the registry, below
wineserver -w
if ! grep -q "\"MS UI Gothic\"=\"$proportional\"" "$prefix/system.reg"; then
  echo "wine-prefix.sh: the font settings did not reach the registry of $prefix" >&2
  exit 1
fi

touch "$ready"
