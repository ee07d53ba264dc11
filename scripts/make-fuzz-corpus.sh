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

for target in script_reader sync_track tga_reader jpeg_reader lwo_reader mp3_decoder demo_folder; do
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

# Whole demo folders for fuzz_demo_folder, each file packed as a header line
# "== NAME SIZE" and its bytes. The bundled script gets small stand-ins for
# its pictures and objects, so that every input stays quick to load.
pack() {
  local out=$1 entry
  shift
  : >"$out"
  for entry in "$@"; do
    printf '== %s %d\n' "${entry%%=*}" "$(stat -c %s "${entry#*=}")" >>"$out"
    cat "${entry#*=}" >>"$out"
  done
}
pack "$corpus/demo_folder/example.demo" iDemo.dat="$corpus/script_reader/example.dat" \
  test.dat="$corpus/sync_track/example.dat" tex.jpg="$corpus/jpeg_reader/rgb.jpg"
files=(iDemo.dat="$demo/iDemo.dat" test.dat="$demo/test.dat")
for name in $(grep -o '[A-Za-z0-9_.-]*\.\(tga\|jpg\|lwo\)' "$demo/iDemo.dat" | sort -u); do
  case $name in
    *.tga) files+=("$name=$corpus/tga_reader/rgba32.tga") ;;
    *.jpg) files+=("$name=$corpus/jpeg_reader/rgb.jpg") ;;
    *.lwo) files+=("$name=$corpus/lwo_reader/tetrahedron.lwo") ;;
  esac
done
pack "$corpus/demo_folder/bundled-script.demo" "${files[@]}"

du -sh "$corpus"
