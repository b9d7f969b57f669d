#!/usr/bin/env bash
# Builds the editor, starts it on a virtual X display and saves a screenshot of the screen.
#   scripts/screenshot.sh [OUTPUT.png] [-- editor arguments...]
# BUILD_DIR (default: build) selects the build folder; SCREEN (default 640x600) the display size.
set -euo pipefail
cd "$(dirname "$0")/.."
out=${1:-tindra-screenshot.png}
[ $# -gt 0 ] && shift
[ "${1:-}" = "--" ] && shift
build=${BUILD_DIR:-build}
cmake -S . -B "$build" -G Ninja >/dev/null
cmake --build "$build" --target tindra -j2 >/dev/null
out=$(realpath -m "$out")
xvfb-run -a -s "-screen 0 ${SCREEN:-640x600}x24" bash -c '
  "$0" "$@" & app=$!
  sleep 3
  import -window root "'"$out"'"
  kill $app 2>/dev/null || true
  wait $app 2>/dev/null || true
' "$build/src/app/tindra" "$@"
echo "$out"
