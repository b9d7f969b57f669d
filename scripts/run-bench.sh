#!/usr/bin/env bash
# Installs what is missing (including the benchmark-only libraries), builds the benchmarks in
# build-bench and runs each of them once. Each benchmark measures Tindra and a peer in the same
# run; arguments are passed to every benchmark (for example --benchmark_filter=Decode).
set -euo pipefail
cd "$(dirname "$0")/.."
bash scripts/install-deps.sh --bench
cmake -S . -B build-bench -G Ninja -DCMAKE_BUILD_TYPE=Release -DTINDRA_BUILD_TESTS=OFF -DTINDRA_BUILD_BENCH=ON >/dev/null
cmake --build build-bench
for b in $(find build-bench/bench -maxdepth 2 -type f -executable | sort); do
  echo "=== $b"
  "$b" "$@"
done
