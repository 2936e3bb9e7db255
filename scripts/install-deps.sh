#!/usr/bin/env bash
# Installs the Debian packages that the build, the tests and the two programs
# need, when some are missing. Needs root (or sudo) only when it installs.
set -euo pipefail

packages=(
  cmake ninja-build g++ pkg-config libgtest-dev
  libgtk-3-dev fonts-ipafont-gothic shared-mime-info
  g++-mingw-w64-x86-64-posix binutils-mingw-w64-x86-64
  wine wine64
  libutfcpp-dev
  clang libclang-rt-14-dev
  xvfb xauth x11-utils xdotool xclip imagemagick locales python3
  ibus ibus-mozc ibus-gtk3 dbus-daemon
  at-spi2-core python3-pyatspi
  dpkg-dev lintian desktop-file-utils
  ripgrep python3-matplotlib
)

missing=()
for p in "${packages[@]}"; do
  if ! dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q 'install ok installed'; then
    missing+=("$p")
  fi
done

if ((${#missing[@]})); then
  echo "Installing: ${missing[*]}"
  sudo=""
  if [ "$(id -u)" -ne 0 ]; then sudo="sudo"; fi
  $sudo apt-get update -q
  DEBIAN_FRONTEND=noninteractive $sudo apt-get install -y -q --no-install-recommends "${missing[@]}"
fi

# The Windows build runs under Wine with code page 932, which the Japanese
# locale gives it, and once with code page 1252 from the English one, where
# it must look and search the same.
for wanted in ja_JP en_US; do
  if ! locale -a 2>/dev/null | grep -qi "^$wanted\.utf-\?8\$"; then
    sudo=""
    if [ "$(id -u)" -ne 0 ]; then sudo="sudo"; fi
    $sudo sed -i "s/^# *\($wanted.UTF-8 UTF-8\)/\1/" /etc/locale.gen
    grep -q "^$wanted.UTF-8 UTF-8" /etc/locale.gen || echo "$wanted.UTF-8 UTF-8" | $sudo tee -a /etc/locale.gen >/dev/null
    $sudo locale-gen >/dev/null
  fi
done
