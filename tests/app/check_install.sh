#!/usr/bin/env bash
# Installs the build folder given as $1 under a temporary root, as a package build does with
# DESTDIR, and checks that the program, its desktop entry and the entry's icon are where a desktop
# looks for them, and that the entry is valid.
set -euo pipefail
build=$1
root=$(mktemp -d)
trap 'rm -rf "$root"' EXIT
fail() {
  echo "install: $*" >&2
  exit 1
}
DESTDIR="$root" cmake --install "$build" --prefix /usr >/dev/null
entry="$root/usr/share/applications/quillane.desktop"
[ -f "$entry" ] || fail "no desktop entry in share/applications"
desktop-file-validate "$entry" || fail "the desktop entry is not valid"
program=$(sed -n 's/^Exec=\([^ ]*\).*/\1/p' "$entry")
[ -x "$root/usr/bin/$program" ] || fail "the entry starts '$program', which is not in bin/"
icon=$(sed -n 's/^Icon=//p' "$entry")
[ -f "$root/usr/share/icons/hicolor/scalable/apps/$icon.svg" ] || fail "no icon '$icon'"
grep -qx 'Name\[zh\]=可控源数据预处理' "$entry" || fail "the entry has not the Chinese name"
echo "installed: $(cd "$root" && find . -type f | sort | tr '\n' ' ')"
