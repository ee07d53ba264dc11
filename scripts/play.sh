#!/usr/bin/env bash
# Installs, builds and plays the bundled demo. Extra arguments go to quarn2
# (for example --windowed). Only the player is built: the test suite, tools
# and benchmarks of the same build folder are left for scripts/build.sh.
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
build=${QUARN_BUILD_DIR:-$root/build}
"$root/scripts/install-deps.sh"
cmake -S "$root" -B "$build" -DCMAKE_BUILD_TYPE=RelWithDebInfo >/dev/null
cmake --build "$build" -j"$(nproc)" --target quarn2
cd "$root/demo"
exec "$build/quarn2" "$@"
