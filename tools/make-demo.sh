#!/usr/bin/env bash
# Regenerates the bundled demo in demo/: builds the tools, paints the
# pictures, writes the objects, synthesises and encodes the music and places
# the sync events. The script demo/iDemo.dat is written by hand.
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
build=${QUARN_BUILD_DIR:-$root/build}
demo=$root/demo

cmake -S "$root" -B "$build" -DQUARN_TOOLS=ON >/dev/null
cmake --build "$build" -j2 --target tool_pictures tool_objects tool_music tool_sync

"$build/tools/tool_pictures" "$demo"
"$build/tools/tool_objects" "$demo"
"$build/tools/tool_sync" "$demo/iDemo.dat" "$demo/test.dat"

wav=$(mktemp --suffix=.wav)
trap 'rm -f "$wav"' EXIT
"$build/tools/tool_music" "$wav"
# Plain "-b 64" would let lame drop to 24 kHz; the player wants 44.1 kHz.
lame --quiet --resample 44.1 -b 64 "$wav" "$demo/demomusik.mp3"

du -sh "$demo"
