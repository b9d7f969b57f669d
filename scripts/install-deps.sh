#!/usr/bin/env bash
# Installs what Tindra needs on Debian 12 (as root). Packages already present are skipped, so a
# second run is quick.
#   scripts/install-deps.sh           building and running the editor (scripts/run-editor.sh)
#   scripts/install-deps.sh --tests   that, plus the test, sanitizer, fuzz and packaging tools
#                                     (scripts/run-tests.sh)
#   scripts/install-deps.sh --bench   that, plus the libraries only the benchmarks use
#                                     (scripts/run-bench.sh)
set -euo pipefail

# Compiler and build tools, Qt 6 (with its platform plugins and its own translations), X11 for the
# lock keys, libpng for the program icon, and a virtual display for machines without one.
editor=(
  build-essential cmake ninja-build pkg-config
  qt6-base-dev qt6-translations-l10n libgl1-mesa-dev libxkbcommon-dev libx11-dev libxtst-dev libpng-dev
  xvfb xauth fonts-dejavu-core
)
# GoogleTest; clang with libFuzzer and the sanitizer run-times; llvm-symbolizer, without which
# sanitizer reports carry no function names or lines; the test oracles (giflib and its tools,
# gifsicle, ImageMagick, icoutils); the validators and tools of the install check (desktop file, AppStream, manual pages,
# cpack's dependency scan); openbox for the window-placement test under a real window manager.
tests=(
  libgtest-dev libgmock-dev
  clang libclang-rt-14-dev llvm
  libgif-dev giflib-tools gifsicle imagemagick icoutils
  desktop-file-utils appstream man-db file dpkg-dev
  openbox
)
# Google Benchmark and the benchmark peers.
bench=(libbenchmark-dev libgif-dev libmagick++-dev)

pkgs=("${editor[@]}")
case "${1:-}" in
  "") ;;
  --tests) pkgs+=("${tests[@]}") ;;
  --bench) pkgs+=("${bench[@]}") ;;
  *) echo "usage: $0 [--tests | --bench]" >&2; exit 2 ;;
esac

missing=()
for p in "${pkgs[@]}"; do
  dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "install ok installed" || missing+=("$p")
done
[ ${#missing[@]} -eq 0 ] && exit 0
if [ "$(id -u)" -ne 0 ]; then
  echo "Missing packages: ${missing[*]}" >&2
  echo "Install them as root: apt-get install ${missing[*]}" >&2
  exit 1
fi
echo "Installing: ${missing[*]}"
export DEBIAN_FRONTEND=noninteractive
apt-get update -qq
apt-get install -y -qq --no-install-recommends "${missing[@]}"
