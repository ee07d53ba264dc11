#!/usr/bin/env bash
# The browser build in headless Chromium: held moments against the desktop
# player's frames of the same moments (PSNR >= 30 dB each), a bad start time
# shown in the page, and a played stretch (its frame rate printed) stopped
# with Escape. The poster and the frame after a seek along the bar against
# the desktop's frames of their moments, and the controls and keys. Then a second demo, a visitor's own, given to the unchanged
# page as ?demo=second.zip: its held moment against the desktop player's
# frame of that folder (and unlike the bundled demo's), played to its own
# end; a zip cut short, a zip with a damaged file and one without iDemo.dat
# are named in the page. Needs build-web/ (scripts/build-web.sh) and build/
# (the desktop build, for pixel_capture and capture_check) and a display for
# the desktop frames (run under xvfb-run).
set -euo pipefail
root=$(cd "$(dirname "$0")/../.." && pwd)
web=${QUARN_WEB_DIR:-$root/build-web}
build=${QUARN_BUILD_DIR:-$root/build}
moments=(9 47 129 207)
second_moment=2
# The poster's moment, one of the moments above.
poster_moment=207
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT

# The second demo: the bundled demo's sky, logo and pictures with a cube
# from a Wavefront OBJ file (so the page's object library is used), ending
# itself at 4 s. The page is served from a folder of its own beside the zips.
second=$work/second
site=$work/site
mkdir "$second" "$site"
for f in sky.jpg logo.tga bands.tga env.jpg demomusik.mp3; do cp "$root/demo/$f" "$second/"; done
cat >"$second/cube.obj" <<'OBJ'
# a unit cube, faces wound counter-clockwise seen from outside
v -1 -1 1
v 1 -1 1
v 1 1 1
v -1 1 1
v -1 -1 -1
v 1 -1 -1
v 1 1 -1
v -1 1 -1
f 1 2 3 4
f 6 5 8 7
f 5 1 4 8
f 2 6 7 3
f 4 3 7 8
f 5 6 2 1
OBJ
cat >"$second/iDemo.dat" <<'SCRIPT'
defineEffect group as Effect
end
defineEffect sky as FxGLLayerObject
textureFilename : sky.jpg
transparency : solid
alpha : "1"
sizex : "1"
sizey : "1"
end
defineEffect cube as FxRenderParametric
object : cube.obj
textureFilename : bands.tga
mapping : pregenerated
envFilename : env.jpg
position.z : "5"
orientation.x : t*40
orientation.y : t*25
end
defineEffect logo as FxGLLayerObject
textureFilename : logo.tga
transparency : modulating
alpha : "1"
sizex : "0.18"
sizey : "0.24"
motionx : "-0.38"
motiony : "-0.3"
angle : t*30
end
createInstance of group as iDemo at 0 1000
createInstance of sky as iDemo.sky at 0 1000
createInstance of cube as iDemo.cube at 0 1000
createInstance of logo as iDemo.logo at 0 1000
addChild iDemo.sky to iDemo
addChild iDemo.cube to iDemo
addChild iDemo.logo to iDemo
bah
SCRIPT
printf '3 fadeout 0\n4 end 0\n' >"$second/test.dat"
for f in index.html quarn2.js quarn2.wasm quarn2.data; do ln -s "$web/$f" "$site/$f"; done
# second.zip holds the folder itself; cut.zip is its first half; flipped.zip
# has one byte of its script changed (stored, so only the checksum tells);
# noscript.zip holds only pictures.
python3 - "$second" "$site" <<'PYTHON'
import os, sys, zipfile
second, site = sys.argv[1], sys.argv[2]
path = lambda name: os.path.join(site, name)
with zipfile.ZipFile(path("second.zip"), "w", zipfile.ZIP_DEFLATED) as z:
    for name in sorted(os.listdir(second)):
        z.write(os.path.join(second, name), "second/" + name)
data = open(path("second.zip"), "rb").read()
open(path("cut.zip"), "wb").write(data[: len(data) // 2])
with zipfile.ZipFile(path("flipped.zip"), "w", zipfile.ZIP_STORED) as z:
    z.write(os.path.join(second, "iDemo.dat"), "iDemo.dat")
flipped = bytearray(open(path("flipped.zip"), "rb").read())
at = flipped.index(b"defineEffect sky")
flipped[at] ^= 0x20
open(path("flipped.zip"), "wb").write(flipped)
with zipfile.ZipFile(path("noscript.zip"), "w", zipfile.ZIP_DEFLATED) as z:
    z.write(os.path.join(second, "logo.tga"), "logo.tga")
PYTHON

port=$(python3 -c 'import socket; s = socket.socket(); s.bind(("127.0.0.1", 0)); print(s.getsockname()[1])')
python3 -m http.server "$port" --bind 127.0.0.1 --directory "$site" >/dev/null 2>&1 &
server=$!
trap 'kill $server 2>/dev/null; rm -rf "$work"' EXIT

passed=0
failed=0
if SECOND_MOMENT=$second_moment POSTER_MOMENT=$poster_moment node --experimental-websocket "$root/tests/web/drive_page.mjs" \
    "http://127.0.0.1:$port/index.html" "$work" "${moments[@]}"; then
    passed=$((passed + 1))
else
    failed=$((failed + 1))
fi

# against_desktop NAME T: the page's picture web_NAME.png against the
# desktop player's frame of the bundled demo at T, within 30 dB.
against_desktop() {
    local name=$1 t=$2 db
    if ! (cd "$root" && "$build/bench/pixel_capture" held "$t" "$work/desktop_$name.png" demo >"$work/desktop_$name.log" 2>&1); then
        echo "FAILED: no desktop frame for $name at t=$t: $(tail -n 2 "$work/desktop_$name.log" | tr '\n' ' ')"
        failed=$((failed + 1))
        return
    fi
    db=$("$build/capture_check" psnr "$work/desktop_$name.png" "$work/web_$name.png" 2>&1) || db="none ($db)"
    echo "$name at t=$t: browser against desktop $db dB"
    if awk -v db="$db" 'BEGIN { exit !(db + 0 >= 30) }'; then
        passed=$((passed + 1))
    else
        failed=$((failed + 1))
        cp "$work/desktop_$name.png" "$work/web_$name.png" "${QUARN_KEEP_DIR:-/tmp}/" 2>/dev/null || true
    fi
}
for t in "${moments[@]}"; do against_desktop "$t" "$t"; done
# The poster is the desktop's frame of its moment, read from the canvas
# under the play button; so is the frame held after a seek back along the
# bar, wherever it landed.
against_desktop poster "$poster_moment"
against_desktop seek "$(cat "$work/seek_time" 2>/dev/null || echo none)"
# The second demo's moment is what the desktop player draws for that folder,
# and not what it draws for the bundled demo at the same time.
t=$second_moment
if (cd "$root" && "$build/bench/pixel_capture" held "$t" "$work/desktop_second.png" "$second" >/dev/null 2>&1 &&
    "$build/bench/pixel_capture" held "$t" "$work/desktop_$t.png" demo >/dev/null 2>&1); then
    own=$("$build/capture_check" psnr "$work/desktop_second.png" "$work/web_second.png" 2>&1) || own="none ($own)"
    bundled=$("$build/capture_check" psnr "$work/desktop_$t.png" "$work/web_second.png" 2>&1) || bundled="none ($bundled)"
    echo "second demo t=$t: browser against desktop $own dB, against the bundled demo $bundled dB"
    if awk -v own="$own" -v bundled="$bundled" 'BEGIN { exit !(own + 0 >= 30 && bundled + 0 < 20) }'; then
        passed=$((passed + 1))
    else
        failed=$((failed + 1))
        cp "$work/desktop_second.png" "$work/web_second.png" "${QUARN_KEEP_DIR:-/tmp}/" 2>/dev/null || true
    fi
else
    echo "FAILED: no desktop frame of the second demo for t=$t"
    failed=$((failed + 1))
fi
echo "browser: $passed passed, $failed failed"
[ "$failed" -eq 0 ]
