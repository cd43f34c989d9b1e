#!/usr/bin/env bash
# Starts the main window under a private Xvfb display and saves a screenshot.
#   tools/screenshot.sh [output.png] [build folder] [arguments for segmora...]
# Needs xvfb and imagemagick (import). The program runs from a copy in a
# temporary folder, so its settings file and single-instance lock are its own.
set -euo pipefail
here=$(cd "$(dirname "$0")/.." && pwd)
out=${1:-$here/screenshot.png}
build=${2:-$here/build}
shift $(( $# > 2 ? 2 : $# ))
[ -x "$build/app/segmora" ] || { echo "no $build/app/segmora; build first" >&2; exit 1; }

work=$(mktemp -d)
cleanup() {
  [ -n "${app:-}" ] && kill "$app" 2>/dev/null || true
  [ -n "${xvfb:-}" ] && kill "$xvfb" 2>/dev/null || true
  rm -rf "$work"
}
trap cleanup EXIT
cp "$build/app/segmora" "$work/segmora"

display=:$(( 90 + RANDOM % 100 ))
Xvfb "$display" -screen 0 800x600x24 -nolisten tcp >/dev/null 2>&1 &
xvfb=$!
for _ in $(seq 50); do [ -e "/tmp/.X11-unix/X${display#:}" ] && break; sleep 0.1; done

mkdir -p "$work/run"
DISPLAY=$display XDG_RUNTIME_DIR=$work/run QT_QPA_PLATFORM=xcb \
  "$work/segmora" "$@" >/dev/null 2>&1 &
app=$!
sleep "${SCREENSHOT_DELAY:-3}"
DISPLAY=$display import -window root "$out"
echo "$out"
