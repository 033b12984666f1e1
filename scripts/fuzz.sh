#!/usr/bin/env bash
# Builds the fuzz targets in build-fuzz/ and runs each for FUZZ_TIME seconds, one after the
# other (the sanitizers make each run heavy; two at once only halve each one's executions).
# The corpus each run grows is kept in build-fuzz/corpus/<target>, started from fuzz/corpus/;
# a failing input is left in build-fuzz/findings/. FUZZ_RUNS=N stops each run after N inputs
# instead (FUZZ_TIME still caps it). Usage: scripts/fuzz.sh [target ...]
set -euo pipefail
cd "$(dirname "$0")/.."

FUZZ_TIME=${FUZZ_TIME:-600}
FUZZ_TIMEOUT=${FUZZ_TIMEOUT:-10}  # seconds one input may take; more on a machine busy with other work
runs=()
[[ -n ${FUZZ_RUNS:-} ]] && runs=(-runs="$FUZZ_RUNS")
# Most of a run's time goes to the sanitizer's allocator: recording every allocation's stack and
# filling each new block more than halves the executions. A finding's input replays with the full
# reports (run the target on it with ASAN_OPTIONS unset).
export ASAN_OPTIONS=${ASAN_OPTIONS:-malloc_context_size=0:max_malloc_fill_size=0}
BUILD=${FUZZ_BUILD:-build-fuzz}
targets=("$@")
[[ ${#targets[@]} -eq 0 ]] && targets=(ini_file name_lists hex_text files input_reception)

launcher=()
command -v ccache >/dev/null && launcher=(-DCMAKE_CXX_COMPILER_LAUNCHER=ccache)
cmake -S fuzz -B "$BUILD" -DCMAKE_CXX_COMPILER=clang++ "${launcher[@]}" >/dev/null
cmake --build "$BUILD" -j"$(nproc)" --target "${targets[@]/#/fuzz_}"

mkdir -p "$BUILD/findings"
status=0
summary=()
for target in "${targets[@]}"; do
  corpus="$BUILD/corpus/$target"
  mkdir -p "$corpus"
  log="$BUILD/fuzz_$target.log"
  echo "== fuzz_$target for ${FUZZ_TIME} s (log: $log)"
  # Inputs up to 1 KiB (longer ones only slow the run down); a leak, a sanitizer report or a broken property stops the run.
  if "$BUILD/fuzz_$target" -max_total_time="$FUZZ_TIME" "${runs[@]}" -max_len=1024 -timeout="$FUZZ_TIMEOUT" -rss_limit_mb=2048 \
       -print_final_stats=1 -artifact_prefix="$BUILD/findings/$target-" \
       "$corpus" "fuzz/corpus/$target" >"$log" 2>&1; then
    result=clean
  elif grep -q 'libFuzzer: run interrupted' "$log"; then
    result="stopped by hand, clean until then"  # Ctrl-C or SIGINT: the stats are final
  else
    result="FAILED (see $log and $BUILD/findings/)"
    status=1
  fi
  executed=$(sed -n 's/^stat::number_of_executed_units: *//p' "$log" | tail -1)
  summary+=("fuzz_$target: ${executed:-?} executions, $result")
  echo "${summary[-1]}"
done
echo "== summary"
printf '%s\n' "${summary[@]}"
exit $status
