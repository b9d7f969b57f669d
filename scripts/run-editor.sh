#!/usr/bin/env bash
# Installs what is missing, builds Tindra and starts the editor from the build tree.
# Any arguments are passed to the editor (for example a file to open).
set -euo pipefail
cd "$(dirname "$0")/.."
bash scripts/install-deps.sh
cmake -S . -B build -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo
cmake --build build --target tindra
if [ -z "${DISPLAY:-}" ] && [ -z "${WAYLAND_DISPLAY:-}" ]; then
  echo "No display found: the editor starts on a virtual display (xvfb-run), where it runs but" >&2
  echo "cannot be seen. Press Ctrl+C to stop it. To see the window, run this on a desktop or" >&2
  echo "over 'ssh -X'." >&2
  exec xvfb-run -a ./build/src/app/tindra "$@"
fi
exec ./build/src/app/tindra "$@"
