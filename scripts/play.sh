#!/usr/bin/env bash
# Installs, builds and plays the bundled demo. Extra arguments go to quarn2
# (for example --windowed).
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
build=${QUARN_BUILD_DIR:-$root/build}
"$root/scripts/install-deps.sh"
"$root/scripts/build.sh"
cd "$root/demo"
exec "$build/quarn2" "$@"
