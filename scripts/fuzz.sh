#!/usr/bin/env bash
# Builds the fuzz targets (clang, libFuzzer, AddressSanitizer and
# UndefinedBehaviorSanitizer) into build/fuzz and runs each in turn for
# SECONDS seconds (default 20), starting from its corpus in fuzz/corpus/.
# Inputs found on the way go to build/fuzz/corpus/, never into the sources;
# an input that breaks a property is written to build/fuzz/faults/.
#
#   scripts/fuzz.sh [--seconds N] [TARGET...]
#
# Targets: query_parser text_gatherer title_excerpt tsv_escaping cli_options
# resource_parser. Ends with one line per target: executions and the outcome.
set -euo pipefail
cd "$(dirname "$0")/.."

seconds=20
targets=()
while (($#)); do
  case "$1" in
    --seconds) seconds="$2"; shift 2 ;;
    *) targets+=("$1"); shift ;;
  esac
done
((${#targets[@]})) || targets=(query_parser text_gatherer title_excerpt tsv_escaping cli_options resource_parser)

# Absolute paths: the targets work in a temporary folder of their own.
root=$PWD
build=$root/build/fuzz
nice cmake -S fuzz -B "$build" -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo \
  -DCMAKE_C_COMPILER=clang -DCMAKE_CXX_COMPILER=clang++ >/dev/null
nice cmake --build "$build" --target "${targets[@]/#/fuzz_}"

export UBSAN_OPTIONS=halt_on_error=1:print_stacktrace=1
mkdir -p "$build/faults"
summary=()
failed=0
for target in "${targets[@]}"; do
  found="$build/corpus/$target"
  mkdir -p "$found"
  log="$build/$target.log"
  # The file readers get inputs longer than the reader's 4,096-byte buffer.
  max_len=4096
  case "$target" in text_gatherer | title_excerpt) max_len=6000 ;; esac
  echo "== $target: $seconds s"
  status=0
  nice "$build/fuzz_$target" -max_total_time="$seconds" -max_len="$max_len" \
    -print_final_stats=1 -artifact_prefix="$build/faults/$target-" \
    "$found" "$root/fuzz/corpus/$target" >"$log" 2>&1 || status=$?
  runs=$(grep -o 'stat::number_of_executed_units: *[0-9]*' "$log" | grep -o '[0-9]*$' || true)
  if ((status == 0)); then
    summary+=("$target: ${runs:-?} executions, no fault")
  else
    failed=1
    grep -E 'property broken|ERROR|SUMMARY|Test unit written' "$log" | head -5 || true
    summary+=("$target: FAULT after ${runs:-?} executions (log: $log)")
  fi
done
printf '%s\n' "${summary[@]}"
exit "$failed"
