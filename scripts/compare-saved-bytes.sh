#!/usr/bin/env bash
# Compares the files this tree's window saves with those of another revision (default: main), byte
# for byte: both builds run tests/app/SavedBytes.cpp over the same pictures (../shared/testdata, or
# the folder given second) and the lists of hashes must be equal. The other revision is exported
# with `git archive` into a temporary folder and built there with this tree's driver.
#
#   bash scripts/compare-saved-bytes.sh [REVISION] [FOLDER]
#
# Exit status 0: identical; 1: some file differs (the differing lines are printed); 2: a build failed.
set -euo pipefail
cd "$(dirname "$0")/.."
ref=${1:-main}
pictures=$(realpath "${2:-../shared/testdata}")
work=$(mktemp -d /tmp/tindra-saved-bytes.XXXXXX)
trap 'rm -rf "$work"' EXIT

build() { # source folder, build folder
  cmake -S "$1" -B "$2" -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo -DCMAKE_CXX_COMPILER_LAUNCHER=ccache \
    -DTINDRA_BUILD_BENCH=OFF >"$work/cmake.log" 2>&1 &&
    cmake --build "$2" -j2 --target tindra_saved_bytes >>"$work/cmake.log" 2>&1 ||
    { tail -30 "$work/cmake.log"; exit 2; }
}

git archive --format=tar "$ref" | (mkdir -p "$work/ref" && tar -x -C "$work/ref")
cp tests/app/SavedBytes.cpp tests/app/SavedBytes.cmake "$work/ref/tests/app/"
grep -q SavedBytes.cmake "$work/ref/tests/app/CMakeLists.txt" ||
  echo 'include(${CMAKE_CURRENT_SOURCE_DIR}/SavedBytes.cmake)' >>"$work/ref/tests/app/CMakeLists.txt"
echo "building $ref in $work/ref"
build "$work/ref" "$work/ref/build"
echo "building this tree in build-saved-bytes"
build . build-saved-bytes

"$work/ref/build/tests/app/tindra_saved_bytes" "$pictures" >"$work/ref.txt" 2>/dev/null
build-saved-bytes/tests/app/tindra_saved_bytes "$pictures" >"$work/this.txt" 2>/dev/null
echo "$(wc -l <"$work/this.txt") files saved from $(cut -d' ' -f1 "$work/this.txt" | sort -u | wc -l) pictures"
if diff "$work/ref.txt" "$work/this.txt"; then
  echo "identical to $ref"
else
  echo "differs from $ref"
  exit 1
fi
