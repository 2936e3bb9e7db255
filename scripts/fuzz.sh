#!/usr/bin/env bash
# Builds the fuzz targets (clang, libFuzzer, AddressSanitizer and
# UndefinedBehaviorSanitizer) into build/fuzz and runs each for SECONDS
# seconds (default 20), two at a time, starting from its corpus in
# fuzz/corpus/.
# Inputs found on the way go to build/fuzz/corpus/, never into the sources;
# an input that breaks a property is written to build/fuzz/faults/.
#
#   scripts/fuzz.sh [--seconds N] [--build-only] [TARGET...]
#
# Targets: query_parser text_gatherer title_excerpt tsv_escaping cli_options
# resource_parser. Ends with one line per target: executions and the outcome.
set -euo pipefail
cd "$(dirname "$0")/.."

seconds=20
build_only=0
targets=()
while (($#)); do
  case "$1" in
    --seconds) seconds="$2"; shift 2 ;;
    --build-only) build_only=1; shift ;;
    *) targets+=("$1"); shift ;;
  esac
done
((${#targets[@]})) || targets=(query_parser text_gatherer title_excerpt tsv_escaping cli_options resource_parser)

# Absolute paths: the targets work in a temporary folder of their own.
root=$PWD
build=$root/build/fuzz
nice -n 19 cmake -S fuzz -B "$build" -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo \
  -DCMAKE_C_COMPILER=clang -DCMAKE_CXX_COMPILER=clang++ >/dev/null
nice -n 19 cmake --build "$build" --target "${targets[@]/#/fuzz_}"
((build_only)) && exit 0

export UBSAN_OPTIONS=halt_on_error=1:print_stacktrace=1
mkdir -p "$build/faults"

# Runs one target and writes its line of the summary to $build/TARGET.result.
run_target() {
  local target=$1 found="$build/corpus/$1" log="$build/$1.log"
  mkdir -p "$found"
  # The file readers get inputs longer than the reader's 4,096-byte buffer.
  local max_len=4096
  case "$target" in text_gatherer | title_excerpt) max_len=6000 ;; esac
  local status=0
  nice "$build/fuzz_$target" -max_total_time="$seconds" -max_len="$max_len" \
    -print_final_stats=1 -artifact_prefix="$build/faults/$target-" \
    "$found" "$root/fuzz/corpus/$target" >"$log" 2>&1 || status=$?
  local runs
  runs=$(grep -o 'stat::number_of_executed_units: *[0-9]*' "$log" | grep -o '[0-9]*$' || true)
  if ((status == 0)); then
    echo "$target: ${runs:-?} executions, no fault" >"$build/$target.result"
  else
    grep -E 'property broken|ERROR|SUMMARY|Test unit written' "$log" | head -5 || true
    echo "$target: FAULT after ${runs:-?} executions (log: $log)" >"$build/$target.result"
  fi
}

# Two at a time, one for each core of a small machine.
for target in "${targets[@]}"; do
  echo "== $target: $seconds s"
  rm -f "$build/$target.result"
  run_target "$target" &
  while (($(jobs -rp | wc -l) >= 2)); do wait -n || true; done
done
wait

failed=0
for target in "${targets[@]}"; do
  result=$(cat "$build/$target.result" 2>/dev/null || echo "$target: FAULT, no result")
  echo "$result"
  [[ $result == *"no fault" ]] || failed=1
done
exit "$failed"
