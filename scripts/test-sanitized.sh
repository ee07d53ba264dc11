#!/usr/bin/env bash
# Builds the player and every test with AddressSanitizer and
# UndefinedBehaviorSanitizer into build-asan/ (or $QUARN_ASAN_BUILD_DIR) and
# runs the whole suite headless: any memory fault, leak or undefined
# behaviour fails its test.
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
build=${QUARN_ASAN_BUILD_DIR:-$root/build-asan}
"$root/scripts/install-deps.sh"
QUARN_BUILD_DIR=$build "$root/scripts/build.sh" -DQUARN_SANITIZE=ON
export QUARN_NO_DIALOGS=1
export ASAN_OPTIONS=${ASAN_OPTIONS:-detect_leaks=1:abort_on_error=0:strict_string_checks=1}
export UBSAN_OPTIONS=${UBSAN_OPTIONS:-print_stacktrace=1:halt_on_error=1}
xvfb-run -a -s "-screen 0 640x480x24 -noreset" \
  ctest --test-dir "$build" --output-on-failure -j2 --timeout 600
