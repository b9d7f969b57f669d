#!/usr/bin/env bash
# Installs what is missing, builds Tindra and runs the whole test suite:
#  1. the normal build: every unit, widget (offscreen Qt) and layering test;
#  2. the install check: an install into a temporary prefix, the desktop and AppStream files
#     validated, the installed programs run, the .deb built and listed (tests/install);
#  3. everything again (core, widgets and window) under AddressSanitizer + UndefinedBehaviorSanitizer;
#  4. the threaded painter and preview tests under ThreadSanitizer;
#  5. each libFuzzer target for a bounded time (FUZZ_SECONDS, default 60).
# SKIP_SANITIZERS=1 leaves out 3 and 4, SKIP_FUZZ=1 leaves out 5.
# It ends with one line "N passed, N failed, N skipped" over all of it: a build that fails counts as
# one failure, a test that skips (missing oracle or test data) as skipped. The exit status is 0
# exactly when nothing failed. Logs, with each run's JUnit results, are kept in the folder the script
# names at the start and at the end.
set -uo pipefail
cd "$(dirname "$0")/.."
jobs=$(nproc)
logs=$(mktemp -d "${TMPDIR:-/tmp}/tindra-tests.XXXXXX")
# Every process of this run gets a temporary folder of its own, so runs at the same time cannot
# collide and anything a test leaves behind is found below.
export TMPDIR=$logs/tmp
mkdir -p "$TMPDIR"
echo "Logs: $logs"

passed=0 failed=0 skipped=0
summary=()
count() { # what passed failed skipped
  passed=$((passed + $2)) failed=$((failed + $3)) skipped=$((skipped + $4))
  summary+=("$(printf '%-22s %5d passed, %d failed, %d skipped' "$1:" "$2" "$3" "$4")")
}
attribute() { # name junit-file: the number in the first name="N" of the file
  grep -m1 -oE "\b$1=\"[0-9]+\"" "$2" | grep -oE '[0-9]+'
}

run_ctest() { # name builddir [ctest args...]
  local name=$1 dir=$2; shift 2
  local junit=$logs/$name.xml
  echo "=== ctest: $name"
  (cd "$dir" && QT_QPA_PLATFORM=offscreen ctest --output-on-failure -j"$jobs" --timeout 600 \
     --output-junit "$junit" "$@") 2>&1 | tee "$logs/$name.log"
  local rc=${PIPESTATUS[0]}
  if [ ! -s "$junit" ]; then
    echo "ctest $name ended without results (exit $rc)"
    count "ctest $name" 0 1 0
    return
  fi
  local total fail skip
  total=$(attribute tests "$junit") fail=$(attribute failures "$junit") skip=$(attribute skipped "$junit")
  # A run that fails without a failed test (a crash of ctest itself) still counts as a failure.
  [ "$rc" -ne 0 ] && [ "$fail" -eq 0 ] && fail=1
  count "ctest $name" $((total - fail - skip)) "$fail" "$skip"
}
build() { # name dir [cmake args...]: a failed build counts as one failure
  local name=$1 dir=$2; shift 2
  echo "=== build: $name"
  { cmake -S . -B "$dir" -G Ninja "$@" >/dev/null && cmake --build "$dir" -j"$jobs"; } 2>&1 |
    tee "$logs/build-$name.log"
  [ "${PIPESTATUS[0]}" -eq 0 ] && return 0
  echo "build $name FAILED (log: $logs/build-$name.log)"
  count "build $name" 0 1 0
  return 1
}
finish() {
  echo "=== summary (logs: $logs)"
  printf '%s\n' "${summary[@]}"
  local left
  left=$(cd "$TMPDIR" && find . -mindepth 1 -maxdepth 1 ! -name 'runtime-*' | sed 's|^\./||' | sort)
  [ -z "$left" ] || echo "left in the temporary folder by the tests: $(echo $left)"
  echo "$passed passed, $failed failed, $skipped skipped"
  [ "$failed" -eq 0 ]
  exit
}

echo "=== dependencies"
if ! bash scripts/install-deps.sh --tests; then
  count "dependencies" 0 1 0
  finish
fi

if build normal build -DCMAKE_BUILD_TYPE=RelWithDebInfo; then
  run_ctest main build -LE install
  run_ctest package build -L install -V
fi

if [ "${SKIP_SANITIZERS:-0}" != 1 ]; then
  if build address,undefined build-asan -DCMAKE_BUILD_TYPE=Debug -DTINDRA_SANITIZE=address,undefined; then
    ASAN_OPTIONS=detect_leaks=1 LSAN_OPTIONS="suppressions=$PWD/tests/lsan-suppressions.txt" \
      run_ctest asan build-asan -LE 'slow|install'
  fi
  if build thread build-tsan -DCMAKE_BUILD_TYPE=Debug -DTINDRA_BUILD_UI=OFF -DTINDRA_SANITIZE=thread; then
    TSAN_OPTIONS=halt_on_error=1 run_ctest tsan build-tsan -L threads --no-tests=ignore
  fi
fi

if [ "${SKIP_FUZZ:-0}" != 1 ]; then
  if CXX=clang++ build fuzz build-fuzz -DCMAKE_BUILD_TYPE=RelWithDebInfo -DTINDRA_BUILD_UI=OFF \
       -DTINDRA_BUILD_TESTS=OFF -DTINDRA_BUILD_FUZZ=ON; then
    fuzz_passed=0 fuzz_failed=0
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
      # Saving an animation of more colours than one table holds twice over costs some seconds there.
      [ "$name" = fuzz_smaller_gif ] && limit=60
      echo "=== fuzz: $name for ${FUZZ_SECONDS:-60} s (inputs up to 64 KB, $limit s each)"
      if "$f" -seed="${FUZZ_SEED:-1}" -max_total_time="${FUZZ_SECONDS:-60}" -max_len=65536 -timeout="$limit" \
           -rss_limit_mb=2048 -print_final_stats=1 "$work" >"$logs/$name.log" 2>&1; then
        echo "fuzz: $name passed"
        fuzz_passed=$((fuzz_passed + 1))
      else
        tail -40 "$logs/$name.log"
        echo "fuzz: $name FAILED (log: $logs/$name.log)"
        fuzz_failed=$((fuzz_failed + 1))
      fi
      rm -rf "$work"
    done
    count "fuzz" "$fuzz_passed" "$fuzz_failed" 0
  fi
fi

finish
