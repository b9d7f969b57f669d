#!/usr/bin/env bash
# Installs what building, running and testing Tindra needs on Debian 12 (run as root).
# Packages already present are skipped, so a second run is quick.
set -euo pipefail
pkgs=(
  build-essential cmake ninja-build pkg-config git
  qt6-base-dev qt6-base-dev-tools libgl1-mesa-dev libxkbcommon-dev
  libx11-dev libxtst-dev
  libgtest-dev libgmock-dev libbenchmark-dev
  clang libclang-rt-14-dev
  xvfb xauth x11-utils fonts-dejavu-core
  libgif-dev libmagick++-dev icoutils imagemagick
  gifsicle giflib-tools
)
missing=()
for p in "${pkgs[@]}"; do
  dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "install ok installed" || missing+=("$p")
done
if [ ${#missing[@]} -gt 0 ]; then
  echo "Installing: ${missing[*]}"
  export DEBIAN_FRONTEND=noninteractive
  apt-get update -qq
  apt-get install -y -qq --no-install-recommends "${missing[@]}"
fi
