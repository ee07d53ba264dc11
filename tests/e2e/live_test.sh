# --live DIR, started from another directory: an edited script shows on the
# next reading, a broken edit keeps the last good picture with the problem
# named, Space holds the time, Right adds one second, Escape ends with 0.
source "$(dirname "$0")/player.sh"
pixel=${QUARN_WINDOW_PIXEL:?the window_pixel helper}

mkdir show
# 2x2 opaque uncompressed 32-bit TGAs (B, G, R, A).
tga() { printf '\0\0\2\0\0\0\0\0\0\0\0\0\2\0\2\0\40\10' >"show/$1"; printf "$2%.0s" 1 2 3 4 >>"show/$1"; }
tga red.tga '\0\0\377\377'
tga blue.tga '\377\0\0\377'
printf '0.1 zrotate 0\n' >show/test.dat
# Saved as editors do: a new file renamed over the old one.
script() {
    cat >show/iDemo.new <<SCRIPT
defineEffect layer as FxGLLayerObject
textureFilename : $1
transparency : solid
alpha : "1"
end
defineEffect root as Effect
end
createInstance of root as iDemo at 0 1000
createInstance of layer as shown at 0 1000
addChild shown to iDemo
bah
SCRIPT
    mv show/iDemo.new show/iDemo.dat
}
script red.tga
rm -f iDemo.dat test.dat

title_time() { xdotool getwindowname "$id" | sed -n 's/^Quarn time: \([0-9.]*\) .*/\1/p'; }
# wait_for_colour R G B SECONDS: the middle of the window turns that colour.
wait_for_colour() {
    local deadline=$(($(date +%s%N) + $4 * 1000000000)) seen
    while [ "$(date +%s%N)" -lt "$deadline" ]; do
        seen=$("$pixel" "$id" 320 240)
        [ "$seen" = "$1 $2 $3" ] && return 0
        sleep 0.05
    done
    fail "the window shows '$seen', not '$1 $2 $3'"
}

start_player --live show
id=$(wait_for_window '^Quarn time: ') || exit 1
wait_for_colour 255 0 0 10

script blue.tga
wait_for_colour 0 0 255 1
grep -q '^reloaded iDemo.dat in [0-9]* ms$' out.txt || fail "no reload line: $(grep reload out.txt)"

# The folder deleted and made anew is followed by its path: its new files
# are read, not the deleted folder's.
cp -r show saved
rm -rf show
for _ in $(seq 40); do grep -q 'reload failed' err.txt && break; sleep 0.05; done
cp -r saved show
script red.tga
wait_for_colour 255 0 0 3
script blue.tga
wait_for_colour 0 0 255 1

script missing.tga
for _ in $(seq 40); do grep -q 'missing\.tga' err.txt && break; sleep 0.05; done
grep -q 'reload failed.*missing\.tga' err.txt || fail "the missing picture is not named: $(cat err.txt)"
sleep 0.3
kill -0 "$player_pid" || fail "the player ended on a broken edit"
[[ "$(xdotool getwindowname "$id")" == *"reload failed "* ]] || fail "title '$(xdotool getwindowname "$id")'"
wait_for_colour 0 0 255 1

xdotool key --window "$id" space
sleep 0.3
held=$(title_time)
sleep 0.3
[ "$(title_time)" = "$held" ] || fail "time runs while paused: $held, then $(title_time)"
[[ "$(xdotool getwindowname "$id")" == *" paused "* ]] || fail "title '$(xdotool getwindowname "$id")'"
xdotool key --window "$id" Right
sleep 0.3
expected=$(awk -v t="$held" 'BEGIN { printf "%.3f", t + 1 }')
[ "$(title_time)" = "$expected" ] || fail "Right while paused at $held gave $(title_time)"

xdotool key --window "$id" Escape
wait_for_exit 10 || fail "status $? after Escape"
echo ok
