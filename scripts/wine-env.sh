# Source this file: . scripts/wine-env.sh
#
# The one environment in which Wine runs the Windows build, as on a Japanese
# Windows: code page 932 from LANG=ja_JP.UTF-8 (another locale through
# SORAHIKI_WINE_LANG, en_US.UTF-8 for code page 1252), a quiet Wine, no Mono or
# Gecko installer, no desktop menu entries. The prefix is $WINEPREFIX when
# set, else build/wineprefix of the repository.
#
# wine_env_display_up starts a private X server (scripts/xvfb-start.sh) when
# DISPLAY is unset; wine_env_display_down waits for Wine's processes of the
# prefix and stops that server again.

wine_env_root=$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)
export WINEPREFIX="${WINEPREFIX:-$wine_env_root/build/wineprefix}"
export WINEDEBUG=-all
export WINEDLLOVERRIDES="mscoree,mshtml,winemenubuilder.exe="
export LANG="${SORAHIKI_WINE_LANG:-ja_JP.UTF-8}"
unset LC_ALL

wine_env_xvfb_pid=""

wine_env_display_up() {
  [ -n "${DISPLAY:-}" ] && return 0
  local number_file
  number_file=$(mktemp)
  "$wine_env_root/scripts/xvfb-start.sh" /dev/null -screen 0 1280x1024x24 >"$number_file" &
  wine_env_xvfb_pid=$!
  for _ in $(seq 1 200); do
    if [ "$(wc -l <"$number_file")" -ge 1 ]; then
      export DISPLAY=":$(head -n 1 "$number_file")"
      rm -f "$number_file"
      return 0
    fi
    kill -0 "$wine_env_xvfb_pid" 2>/dev/null || break
    sleep 0.1
  done
  rm -f "$number_file"
  echo "wine-env.sh: Xvfb did not report a display number" >&2
  kill "$wine_env_xvfb_pid" 2>/dev/null
  wine_env_xvfb_pid=""
  return 1
}

wine_env_display_down() {
  [ -n "$wine_env_xvfb_pid" ] || return 0
  # Wine's helper processes hold the display until the wine server ends.
  timeout 20 wineserver -w 2>/dev/null || true
  kill "$wine_env_xvfb_pid" 2>/dev/null || true
  wait "$wine_env_xvfb_pid" 2>/dev/null || true
  unset DISPLAY
  wine_env_xvfb_pid=""
}
