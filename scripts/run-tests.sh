#!/usr/bin/env bash
# Installs what is missing, builds Tindra and runs the whole test suite:
#  1. the normal build: every unit, widget (offscreen Qt) and layering test;
#  2. everything again (core, widgets and window) under AddressSanitizer + UndefinedBehaviorSanitizer;
#  3. the threaded painter and preview tests under ThreadSanitizer;
#  4. each libFuzzer target for a bounded time (FUZZ_SECONDS, default 60).
# It ends with one line "N passed, N failed" over all test runs.
set -uo pipefail
cd "$(dirname "$0")/.."
bash scripts/install-deps.sh || exit 1
jobs=$(nproc)
logs=$(mktemp -d)
status=0

run_ctest() { # name builddir [ctest args...]
  local name=$1 dir=$2; shift 2
  echo "=== ctest: $name"
  (cd "$dir" && QT_QPA_PLATFORM=offscreen ctest --output-on-failure -j"$jobs" --timeout 600 "$@") 2>&1 | tee "$logs/$name.log"
  [ "${PIPESTATUS[0]}" -eq 0 ] || status=1
}
build() { # dir [cmake args...]
  local dir=$1; shift
  cmake -S . -B "$dir" -G Ninja "$@" >/dev/null && cmake --build "$dir" -j"$jobs"
}

echo "=== build: normal"
if build build -DCMAKE_BUILD_TYPE=RelWithDebInfo; then
  run_ctest main build
else
  echo "normal build failed"; status=1
fi

if [ "${SKIP_SANITIZERS:-0}" != 1 ]; then
  echo "=== build: address,undefined"
  if build build-asan -DCMAKE_BUILD_TYPE=Debug -DTINDRA_SANITIZE=address,undefined; then
    ASAN_OPTIONS=detect_leaks=1 run_ctest asan build-asan -LE slow
  else
    echo "sanitizer build failed"; status=1
  fi
  echo "=== build: thread"
  if build build-tsan -DCMAKE_BUILD_TYPE=Debug -DTINDRA_BUILD_UI=OFF -DTINDRA_SANITIZE=thread; then
    TSAN_OPTIONS=halt_on_error=1 run_ctest tsan build-tsan -L threads --no-tests=ignore
  else
    echo "thread sanitizer build failed"; status=1
  fi
fi

if [ "${SKIP_FUZZ:-0}" != 1 ]; then
  echo "=== build: fuzz (clang, libFuzzer, ASan, UBSan)"
  if CXX=clang++ build build-fuzz -DCMAKE_BUILD_TYPE=RelWithDebInfo -DTINDRA_BUILD_UI=OFF \
       -DTINDRA_BUILD_TESTS=OFF -DTINDRA_BUILD_FUZZ=ON; then
    for f in build-fuzz/fuzz/fuzz_*; do
      [ -x "$f" ] || continue
      name=$(basename "$f")
      work=$(mktemp -d)
      seeds="fuzz/corpus/${name#fuzz_}"
      [ -d "$seeds" ] && cp -r "$seeds"/. "$work"/
      # Inputs up to 64 KB, each within a time limit, so that a slow input is a failure: 10 s covers the
      # largest legitimate read of the codec targets under the sanitizers; opening a document of 4,096
      # frames legitimately takes some 30 s there.
      limit=10
      [ "$name" = fuzz_document_open ] && limit=120
      echo "=== fuzz: $name for ${FUZZ_SECONDS:-60} s (inputs up to 64 KB, $limit s each)"
      if "$f" -seed="${FUZZ_SEED:-1}" -max_total_time="${FUZZ_SECONDS:-60}" -max_len=65536 -timeout="$limit" \
           -rss_limit_mb=2048 -print_final_stats=1 "$work" > "$logs/$name.log" 2>&1; then
        echo "fuzz: $name: 1 passed, 0 failed" | tee -a "$logs/fuzz.summary"
      else
        tail -40 "$logs/$name.log"
        echo "fuzz: $name: 0 passed, 1 failed" | tee -a "$logs/fuzz.summary"; status=1
      fi
      rm -rf "$work"
    done
  else
    echo "fuzz build failed"; status=1
  fi
fi

passed=0; failed=0
for l in "$logs"/*.log; do
  line=$(grep -E "tests passed, [0-9]+ tests failed out of [0-9]+" "$l" | tail -1)
  [ -n "$line" ] || continue
  total=$(sed -E 's/.*out of ([0-9]+).*/\1/' <<<"$line")
  f=$(sed -E 's/.*tests passed, ([0-9]+) tests failed.*/\1/' <<<"$line")
  passed=$((passed + total - f)); failed=$((failed + f))
done
if [ -f "$logs/fuzz.summary" ]; then
  passed=$((passed + $(grep -c ': 1 passed' "$logs/fuzz.summary")))
  failed=$((failed + $(grep -c ': 0 passed' "$logs/fuzz.summary")))
fi
[ "$failed" -eq 0 ] || status=1
echo "$passed passed, $failed failed"
exit $status
