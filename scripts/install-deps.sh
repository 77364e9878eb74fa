#!/usr/bin/env bash
# Installs every Debian package the project builds, tests and runs with. Safe to run again.
set -euo pipefail
packages=(
  build-essential cmake ninja-build pkg-config
  qt6-base-dev qt6-charts-dev qt6-svg-dev libqt6opengl6-dev libgl-dev
  libjpeg-dev libuemf-dev
  libgtest-dev libgmock-dev libbenchmark-dev
  clang
  fonts-wqy-microhei
  xvfb xauth x11-utils openbox xdotool locales
  desktop-file-utils
)
SUDO=""
[ "$(id -u)" -ne 0 ] && SUDO="sudo"
updated=0
install_missing() {
  local missing=() p
  for p in "$@"; do
    dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q 'install ok installed' || missing+=("$p")
  done
  [ ${#missing[@]} -gt 0 ] || return 0
  export DEBIAN_FRONTEND=noninteractive
  if [ $updated -eq 0 ]; then
    $SUDO apt-get update -q
    updated=1
  fi
  $SUDO apt-get install -y -q --no-install-recommends "${missing[@]}"
}
install_missing "${packages[@]}"
# libFuzzer and the sanitizers' runtime come in a package named after clang's major version.
clang_major=$(clang --version | sed -n 's/.*clang version \([0-9][0-9]*\).*/\1/p' | head -n 1)
if [ -z "$clang_major" ]; then
  echo "install-deps: cannot tell the version of clang from 'clang --version'" >&2
  exit 1
fi
install_missing "libclang-rt-$clang_major-dev"
# A comma-decimal locale, so the tests can show that no file depends on the process locale.
if ! locale -a 2>/dev/null | grep -qi '^de_DE\.utf-\?8$'; then
  if command -v localedef >/dev/null 2>&1; then
    $SUDO localedef -i de_DE -f UTF-8 de_DE.UTF-8 >/dev/null 2>&1 || true
  fi
fi
