#!/bin/sh
# Runs a test program on a virtual X display of its own with openbox as the window manager and a
# settings folder of its own: what the window's placement does under a real window manager cannot be
# seen on the offscreen platform. Exits 77 (skipped) when Xvfb or openbox is not installed.
set -u
if ! command -v Xvfb >/dev/null 2>&1 || ! command -v openbox >/dev/null 2>&1; then
  echo "Xvfb or openbox is not installed: skipped"
  exit 77
fi
tmp=$(mktemp -d)
xvfb=
wm=
cleanup() {
  [ -n "$wm" ] && kill "$wm" 2>/dev/null
  [ -n "$xvfb" ] && kill "$xvfb" 2>/dev/null
  wait 2>/dev/null
  rm -rf "$tmp"
}
trap cleanup EXIT
# Xvfb picks a free display number and writes it to descriptor 3.
Xvfb -displayfd 3 -screen 0 1280x1024x24 -nolisten tcp 3>"$tmp/display" >/dev/null 2>&1 &
xvfb=$!
i=0
while [ ! -s "$tmp/display" ] && [ $i -lt 100 ]; do sleep 0.1; i=$((i + 1)); done
[ -s "$tmp/display" ] || { echo "Xvfb did not start"; exit 1; }
DISPLAY=:$(cat "$tmp/display")
export DISPLAY
openbox --sm-disable >/dev/null 2>&1 &
wm=$!
# The window manager has taken the screen once it announces itself on the root window.
i=0
while ! xprop -root _NET_SUPPORTING_WM_CHECK 2>/dev/null | grep -q "window id" && [ $i -lt 100 ]; do
  sleep 0.1
  i=$((i + 1))
done
XDG_CONFIG_HOME="$tmp/config"
QT_QPA_PLATFORM=xcb
export XDG_CONFIG_HOME QT_QPA_PLATFORM
"$@"
