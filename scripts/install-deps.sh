#!/usr/bin/env bash
# Installs the Debian packages that are missing. `install-deps.sh program`
# (./run.sh) installs what building and running the Linux program and
# sorahiki-cli needs; with no argument (./test.sh) also the tests, the Windows
# build, the packages' checks and the locales Wine runs in. Needs root (or
# sudo) only when it installs.
set -euo pipefail

# The build, the tools that make the icon and compile the resource script,
# GTK 3 with Cairo and Pango, a Japanese font and the types that opening a
# file by the desktop goes by.
program_packages=(
  cmake ninja-build g++ pkg-config
  imagemagick binutils-mingw-w64-x86-64
  libgtk-3-dev fonts-ipafont-gothic shared-mime-info
)
# The tests and what they drive: GoogleTest and utfcpp, the Windows build and
# Wine, clang for the fuzz targets, the X server and the tools that play the
# person, the input method, the accessibility bus, the package checks and the
# benchmark's comparison and plot.
test_packages=(
  libgtest-dev libutfcpp-dev
  g++-mingw-w64-x86-64-posix
  wine wine64
  clang libclang-rt-14-dev
  xvfb xauth x11-utils xdotool xclip locales python3
  ibus ibus-mozc ibus-gtk3 dbus-daemon
  at-spi2-core python3-pyatspi
  dpkg-dev lintian desktop-file-utils
  ripgrep python3-matplotlib
)

case "${1:-all}" in
  program) packages=("${program_packages[@]}") ;;
  all) packages=("${program_packages[@]}" "${test_packages[@]}") ;;
  *)
    echo "usage: $0 [program | all]" >&2
    exit 2
    ;;
esac

sudo=""
if [ "$(id -u)" -ne 0 ]; then sudo="sudo"; fi

missing=()
for p in "${packages[@]}"; do
  if ! dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q 'install ok installed'; then
    missing+=("$p")
  fi
done

if ((${#missing[@]})); then
  echo "Installing: ${missing[*]}"
  $sudo apt-get update -q
  DEBIAN_FRONTEND=noninteractive $sudo apt-get install -y -q --no-install-recommends "${missing[@]}"
fi

if [ "${1:-all}" = program ]; then exit 0; fi

# The Windows build runs under Wine with code page 932, which the Japanese
# locale gives it, and once with code page 1252 from the English one, where
# it must look and search the same.
for wanted in ja_JP en_US; do
  if ! locale -a 2>/dev/null | grep -qi "^$wanted\.utf-\?8\$"; then
    $sudo sed -i "s/^# *\($wanted.UTF-8 UTF-8\)/\1/" /etc/locale.gen
    grep -q "^$wanted.UTF-8 UTF-8" /etc/locale.gen || echo "$wanted.UTF-8 UTF-8" | $sudo tee -a /etc/locale.gen >/dev/null
    $sudo locale-gen >/dev/null
  fi
done
