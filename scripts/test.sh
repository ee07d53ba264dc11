#!/usr/bin/env bash
# Installs, builds and runs every test headless (under Xvfb, so GL tests get
# a real Mesa context and the player a real window).
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
build=${QUARN_BUILD_DIR:-$root/build}
"$root/scripts/install-deps.sh"
"$root/scripts/build.sh"
export QUARN_NO_DIALOGS=1
xvfb-run -a -s "-screen 0 640x480x24 -noreset" \
  ctest --test-dir "$build" --output-on-failure -j2 --timeout 300
