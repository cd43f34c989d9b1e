#!/usr/bin/env bash
# cmake --install into a temporary prefix: the programs run from there, the
# application-menu entry is valid, the icon and README are where the program
# looks for them.
# Usage: install_test.sh BUILD_DIR DESKTOP_FILE_VALIDATE
set -euo pipefail
build=$1
validate=$2
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
prefix="$work/prefix with blank"

fail() { echo "FAIL: $*" >&2; exit 1; }

cmake --install "$build" --prefix "$prefix" >"$work/install.log" ||
  { cat "$work/install.log" >&2; fail "cmake --install"; }

for file in bin/segmora bin/segmora-split; do
  [ -x "$prefix/$file" ] || fail "$file is not installed as an executable"
done
for size in 16 24 32 48 64 128 256; do
  [ -s "$prefix/share/icons/hicolor/${size}x${size}/apps/segmora.png" ] || fail "icon ${size}x${size}"
done
[ -s "$prefix/share/icons/hicolor/scalable/apps/segmora.svg" ] || fail "scalable icon"
[ -s "$prefix/share/doc/segmora/README.md" ] || fail "README"

# segmora-split runs from the prefix, from another folder, and divides a file.
cd "$work"
"$prefix/bin/segmora-split" --help >help.txt || fail "segmora-split --help exit status $?"
grep -q -- '--help' help.txt || fail "segmora-split --help printed no usage"
printf 'O1000\r\nG0 X1\r\nO2000\r\nG1 Y2\r\n' >JOB.NC
mkdir out
"$prefix/bin/segmora-split" --quiet JOB.NC out/ || fail "segmora-split run exit status $?"
[ "$(cat out/O1000.NC)" = "$(printf 'O1000\r\nG0 X1\r')" ] || fail "O1000.NC: $(od -c out/O1000.NC)"
[ "$(cat out/O2000.NC)" = "$(printf 'O2000\r\nG1 Y2\r')" ] || fail "O2000.NC: $(od -c out/O2000.NC)"

entry="$prefix/share/applications/segmora.desktop"
[ -s "$entry" ] || fail "no application-menu entry"
[ -n "$validate" ] || fail "desktop-file-validate is missing (Debian package desktop-file-utils)"
"$validate" "$entry" || fail "desktop-file-validate refused $entry"
grep -qx 'Exec=segmora %f' "$entry" || fail "Exec of $entry"
grep -qx 'Icon=segmora' "$entry" || fail "Icon of $entry"
echo "install test passed: $prefix"
