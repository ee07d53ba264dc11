#!/usr/bin/env bash
# Renders one segment of a farm capture: steps FIRST to END - 1 (at FPS
# steps a second) of the demo in DIR, into OUT. OUT appears only once the
# segment is complete, so a killed or failed run leaves nothing to join.
# The same command serves GNU parallel, a Slurm job array and a Kubernetes
# Indexed Job (see docs/farm/).
# Usage: farm-segment.sh PLAYER DIR FPS FIRST END OUT [player options...]
set -euo pipefail

if [ $# -lt 6 ]; then
    echo "usage: farm-segment.sh PLAYER DIR FPS FIRST END OUT [player options...]" >&2
    exit 2
fi
player=$1 dir=$2 fps=$3 first=$4 end=$5 out=$6
shift 6

# Ten decimals put the times within 1e-10 s of their steps: the player
# counts such a start as the step itself, so the segment's frames are the
# very frames of a capture from 0.
seconds() { awk -v step="$1" -v fps="$fps" 'BEGIN { printf "%.10f", step / fps }'; }

partial="${out%.*}.partial.${out##*.}"
rm -f "$partial"
run=("$player" --windowed --capture "$partial" --fps "$fps" --start "$(seconds "$first")" --until "$(seconds "$end")" "$@" "$dir")
# A machine without a display (a farm node) draws into a virtual one.
[ -n "${DISPLAY:-}" ] || run=(xvfb-run -a -s "-screen 0 640x480x24" "${run[@]}")
"${run[@]}"
mv -f "$partial" "$out"
