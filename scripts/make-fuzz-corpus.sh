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
# "== NAME SIZE" and its bytes. The bundled script is cut into one folder per
# scene: the scene moved to time 0 (the target draws the first minute), the
# effects it uses and small stand-ins for their pictures and objects. Small
# folders keep every input quick; the fuzzer combines them.
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
scenes=$(mktemp -d)
trap 'rm -rf "$scenes"' EXIT
awk -v out="$scenes" '
  function writeScene(  file, i, n, names) {
    file = out "/" scene ".dat"
    printf "%s", definition["group"] > file
    n = split(used, names, " ")
    for (i = 1; i <= n; i++) printf "%s", definition[names[i]] > file
    printf "createInstance of group as iDemo at 0 1000\n%s", lines > file
    close(file)
  }
  defining != "" { definition[defining] = definition[defining] $0 "\n"; if ($0 == "end") defining = ""; next }
  /^defineEffect / { defining = $2; definition[defining] = $0 "\n"; next }
  /^# ---- the tree ----/ { tree = 1; next }
  !tree { next }
  scene == "" && $1 == "createInstance" && $3 == "group" && $5 != "iDemo" {
    scene = $5; lines = "createInstance of group as " $5 " at 0 " ($8 - $7) "\n"; used = ""; split("", seen); next
  }
  scene != "" && NF == 0 { writeScene(); scene = ""; next }
  scene != "" {
    lines = lines $0 "\n"
    if ($1 == "createInstance" && $3 != "group" && !($3 in seen)) { seen[$3] = 1; used = used " " $3 }
  }
  END { if (scene != "") writeScene() }
' "$demo/iDemo.dat"
for script in "$scenes"/*.dat; do
  files=(iDemo.dat="$script" test.dat="$corpus/sync_track/example.dat")
  for name in $(grep -o '[A-Za-z0-9_.-]*\.\(tga\|jpg\|lwo\)' "$script" | sort -u); do
    case $name in
      *.tga) files+=("$name=$corpus/tga_reader/rgba32.tga") ;;
      *.jpg) files+=("$name=$corpus/jpeg_reader/rgb.jpg") ;;
      *.lwo) files+=("$name=$corpus/lwo_reader/tetrahedron.lwo") ;;
    esac
  done
  pack "$corpus/demo_folder/scene-$(basename "$script" .dat).demo" "${files[@]}"
done

du -sh "$corpus"
