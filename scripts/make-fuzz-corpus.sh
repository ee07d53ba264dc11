#!/usr/bin/env bash
# Rewrites the fuzz targets' seed corpora in fuzz/corpus/<target>/: small
# files from the content tools (tool_fuzz_seeds, lame for the MP3 seed) and
# a few of the bundled demo's smaller files. Keep the whole corpus small.
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
build=${QUARN_BUILD_DIR:-$root/build}
corpus=$root/fuzz/corpus
demo=$root/demo

cmake -S "$root" -B "$build" -DQUARN_TOOLS=ON >/dev/null
cmake --build "$build" -j2 --target tool_fuzz_seeds

for target in script_reader sync_track tga_reader jpeg_reader lwo_reader mp3_decoder; do
  rm -rf "${corpus:?}/$target"
  mkdir -p "$corpus/$target"
done
"$build/tools/tool_fuzz_seeds" "$corpus"

lame --quiet --resample 44.1 -b 32 "$corpus/mp3_decoder/tone.wav" "$corpus/mp3_decoder/tone.mp3"
rm "$corpus/mp3_decoder/tone.wav"

cp "$demo/iDemo.dat" "$corpus/script_reader/bundled-iDemo.dat"
cp "$demo/test.dat" "$corpus/sync_track/bundled-test.dat"
cp "$demo/logo.tga" "$demo/theend.tga" "$corpus/tga_reader/"
cp "$demo/spark.jpg" "$demo/sky.jpg" "$corpus/jpeg_reader/"

du -sh "$corpus"
