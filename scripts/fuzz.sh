#!/usr/bin/env bash
# Builds the libFuzzer targets (clang, ASan + UBSan) and runs each for a while
# over a copy of its seed corpus, one target at a time.
# Usage: scripts/fuzz.sh [seconds-per-target] [target...]
#   seconds default to 5 (the smoke run); targets are named with or without
#   the fuzz_ prefix (script_reader, fuzz_tga_reader, ...), all by default.
# Environment: QUARN_FUZZ_BUILD_DIR (default build-fuzz), QUARN_FUZZ_SANITIZERS
# (default address,undefined; "undefined" alone runs many times faster where
# a library maps large blocks per input, which ASan maps and faults in
# afresh every time: Assimp's 16 MB OBJ buffer), QUARN_FUZZ_RUNS
# (stop a target after that many executions as well), QUARN_FUZZ_TIMEOUT
# (seconds one input may take, default 30; a run that is stopped and later
# continued counts the stopped time against the input it was running).
# The working corpus lives in the build dir, so runs never grow fuzz/corpus;
# inputs that fail are kept in <build>/artifacts/. Exit status 1 when any
# target found a fault.
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
build=${QUARN_FUZZ_BUILD_DIR:-$root/build-fuzz}
seconds=${1:-5}
[ $# -gt 0 ] && shift

targets=()
if [ $# -gt 0 ]; then
  for t in "$@"; do targets+=("fuzz_${t#fuzz_}"); done
else
  for source in "$root"/fuzz/fuzz_*.cpp; do targets+=("$(basename "$source" .cpp)"); done
fi

CC=clang CXX=clang++ cmake -S "$root" -B "$build" -DCMAKE_BUILD_TYPE=RelWithDebInfo \
  -DQUARN_FUZZ=ON -DQUARN_FUZZ_SANITIZERS="${QUARN_FUZZ_SANITIZERS:-address,undefined}" \
  -DQUARN_TESTS=OFF -DQUARN_TOOLS=OFF >/dev/null
cmake --build "$build" -j2 --target "${targets[@]}"

failed=()
for target in "${targets[@]}"; do
  name=${target#fuzz_}
  work=$build/corpus/$name
  artifacts=$build/artifacts/$name
  log=$build/logs/$name.log
  mkdir -p "$work" "$artifacts" "$(dirname "$log")"
  [ -d "$root/fuzz/corpus/$name" ] && cp -n "$root/fuzz/corpus/$name"/* "$work"/ 2>/dev/null || true
  # Timeouts are generous: under the sanitizers on a shared machine a big
  # picture a header claims can take seconds without being a hang.
  options=(-max_total_time="$seconds" -timeout="${QUARN_FUZZ_TIMEOUT:-30}" -rss_limit_mb=2048 -close_fd_mask=3
           -print_final_stats=1 -artifact_prefix="$artifacts/")
  # The entropic scheduler counts every feature seen fewer than 255 times as
  # rare and searches that list for each feature of each run; a slow target
  # with thousands of features spent most of its time there.
  [ "$name" = demo_folder ] && options+=(-entropic_feature_frequency_threshold=16)
  # Assimp 5.2.5 leaks meshes on some damaged LWO2 and OBJ files, once per
  # reading: a library fault that is no use finding again and again, neither
  # per input nor in the sanitizer's report at exit.
  sanitizer=()
  if [ "$name" = object_import ]; then
    options+=(-detect_leaks=0)
    sanitizer=(ASAN_OPTIONS=detect_leaks=0)
  fi
  dict=$root/fuzz/${name%%_*}.dict
  [ -f "$dict" ] && options+=(-dict="$dict")
  [ -n "${QUARN_FUZZ_RUNS:-}" ] && options+=(-runs="$QUARN_FUZZ_RUNS")

  started=$(date +%s)
  status=0
  env "${sanitizer[@]}" nice -n 19 "$build/fuzz/$target" "${options[@]}" "$work" >"$log" 2>&1 || status=$?
  elapsed=$(( $(date +%s) - started ))
  runs=$(sed -n 's/^stat::number_of_executed_units: *//p' "$log" | tail -1)
  cov=$(grep -o 'cov: [0-9]*' "$log" | tail -1 | cut -d' ' -f2)
  if [ "$status" -eq 0 ]; then
    echo "$target: ${runs:-?} runs, cov ${cov:-?} edges, ${elapsed} s: ok"
  else
    echo "$target: FAILED (status $status) after ${runs:-?} runs, ${elapsed} s; see $log"
    grep -E 'ERROR:|SUMMARY:|Test unit written' "$log" | head -5 || true
    failed+=("$target")
  fi
done

if [ ${#failed[@]} -gt 0 ]; then
  echo "fuzz targets with faults: ${failed[*]}"
  exit 1
fi
