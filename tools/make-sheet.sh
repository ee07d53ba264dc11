#!/usr/bin/env bash
# Regenerates docs/demo-sheet.png, the README's picture sheet: twelve moments
# of the bundled demo captured with --capture, four to a row. Runs the player
# under xvfb-run when there is no display.
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
build=${QUARN_BUILD_DIR:-$root/build}

cmake -S "$root" -B "$build" -DQUARN_TOOLS=ON >/dev/null
cmake --build "$build" -j2 --target quarn2 tool_sheet

frames=$(mktemp -d)
trap 'rm -rf "$frames"' EXIT
run=()
[ -n "${DISPLAY:-}" ] || run=(xvfb-run -a -s "-screen 0 640x480x24")
# Four frames a second keep up with the sync events, which arrive one a frame.
SDL_AUDIODRIVER=dummy QUARN_NO_DIALOGS=1 "${run[@]}" "$build/quarn2" --windowed --capture "$frames" --fps 4 \
    --until 247 "$root/demo" >/dev/null 2>&1

tiles=()
for second in 10 30 60 84 110 136 160 190 216 232 242 246; do
    tiles+=("$second S=$(printf '%s/frame_%06d.png' "$frames" $((second * 4)))")
done
"$build/tools/tool_sheet" "$root/docs/demo-sheet.png" "${tiles[@]}"
