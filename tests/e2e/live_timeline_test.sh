# --live's timeline: E records sync events into test.dat at the time it is
# pressed (overlay shown or not), each reaching the instance chosen; Ctrl-Z
# gives back the file byte for byte; an editor's save between two
# recordings stays; and the picture with the timeline hidden again is the
# picture it never covered.
source "$(dirname "$0")/player.sh"
pixel=${QUARN_WINDOW_PIXEL:?the window_pixel helper}

mkdir show
printf '\0\0\2\0\0\0\0\0\0\0\0\0\2\0\2\0\40\10' >show/dot.tga
printf '\377\377\377\377%.0s' 1 2 3 4 >>show/dot.tga
particles() {
    printf 'defineEffect %s as FxRenderParticles\nnumParticles : %%40\ntextureFilename : dot.tga\n' "$1"
    printf 'position.z : "-8"\nparticle.x : "sin(i+t)"\nparticle.y : "cos(i*2+t)"\nend\n'
}
{
    particles near
    particles far
    printf 'defineEffect root as Effect\nend\ncreateInstance of root as iDemo at 0 1000\n'
    printf 'createInstance of near as a at 0 1000\ncreateInstance of far as b at 0 1000\n'
    printf 'addChild a to iDemo\naddChild b to iDemo\nbah\n'
} >show/iDemo.dat
printf '0.50 offset 1\n' >show/test.dat
cp show/test.dat original.dat

title_time() { xdotool getwindowname "$id" | sed -n 's/^Quarn time: \([0-9.]*\) .*/\1/p'; }
reloads() { grep -c '^reloaded test.dat in ' out.txt; }
wait_for_reloads() {
    for _ in $(seq 100); do [ "$(reloads)" -ge "$1" ] && return 0; sleep 0.05; done
    fail "test.dat was not read again ($(reloads) readings): $(cat err.txt)"
}
# record: presses E and checks the new line's time lies between the titles
# shown before and after (give or take a frame and the file's rounding).
record() {
    local before after seen changes=0
    before=$(title_time)
    xdotool key --window "$id" e
    # Two frames on: the key was handled before the second at the latest.
    seen=$before
    for _ in $(seq 200); do
        after=$(title_time)
        if [ "$after" != "$seen" ]; then
            seen=$after
            changes=$((changes + 1))
            [ "$changes" -ge 2 ] && break
        fi
        sleep 0.02
    done
    bounds+=("$before $after")
}

start_player --live show
id=$(wait_for_window '^Quarn time: ') || exit 1
sleep 0.5

# Paused, the same picture each frame: with the timeline shown and hidden
# again, the window holds exactly the picture it held before (--check's
# list, which the missing music puts up, hidden first).
# settled: the window's digest once two reads a quarter second apart agree
# (a loaded machine may take a while to draw the frame after a key).
settled() {
    local last now
    last=$("$pixel" "$id" all all)
    for _ in $(seq 40); do
        sleep 0.25
        now=$("$pixel" "$id" all all)
        [ "$now" = "$last" ] && break
        last=$now
    done
    echo "$now"
}
xdotool key --window "$id" c
xdotool key --window "$id" space
sleep 0.5
never=$(settled)
xdotool key --window "$id" Tab
sleep 0.5
shown=$(settled)
xdotool key --window "$id" Tab
sleep 0.5
hidden=$(settled)
[ "$shown" != "$never" ] || fail "the timeline did not show"
[ "$hidden" = "$never" ] || fail "hidden again, the picture differs: $never, then $hidden"
xdotool key --window "$id" space

# Hidden, then shown: E records either way.
record
# The second and third go to instance 2 (b): typed into the target field,
# paused meanwhile so that only the choice changes the words after the
# field ("= a now" becomes "= b now"). A loaded machine may draw the panel
# late or drop a click on a field not yet there: the choice is made again
# until those words change, and must have changed within three tries.
where_it_goes() { "$pixel" "$id" 435 246 100 20; }
# settled_region [UNLIKE]: that place's digest once two reads agree (and
# differ from UNLIKE).
settled_region() {
    local last now
    last=$(where_it_goes)
    for _ in $(seq 40); do
        sleep 0.25
        now=$(where_it_goes)
        [ "$now" = "$last" ] && [ "$now" != "${1:-}" ] && break
        last=$now
    done
    echo "$now"
}
xdotool mousemove --window "$id" 10 10
xdotool key --window "$id" space
no_panel=$(settled_region)
xdotool key --window "$id" Tab
before_choice=$(settled_region "$no_panel")
[ "$before_choice" != "$no_panel" ] || fail "the timeline did not show"
chose=
for _ in 1 2 3; do
    xdotool mousemove --window "$id" 370 257 click --repeat 2 1
    sleep 0.6
    xdotool key --window "$id" ctrl+a
    sleep 0.2
    xdotool type --window "$id" 2
    sleep 0.2
    xdotool key --window "$id" Return
    sleep 0.2
    xdotool mousemove --window "$id" 10 10 click 1
    for _ in $(seq 20); do
        sleep 0.2
        [ "$(where_it_goes)" != "$before_choice" ] && chose=yes && break
    done
    [ -n "$chose" ] && break
done
[ -n "$chose" ] || fail "the target field never took 2"
# The words change as the digit is typed; the keys after it reach the player
# only once the field has let go of the keyboard (Return, the click beside).
# An active field blinks its cursor: it has let go when its place stays the
# same for two seconds.
field() { "$pixel" "$id" 345 246 50 20; }
last=$(field)
same=0
for _ in $(seq 100); do
    sleep 0.25
    now=$(field)
    if [ "$now" = "$last" ]; then same=$((same + 1)); else same=0; fi
    last=$now
    [ "$same" -ge 8 ] && break
done
[ "$same" -ge 8 ] || fail "the target field kept the keyboard"
xdotool key --window "$id" space
sleep 0.3
record
record
for _ in $(seq 100); do grep -q '^test.dat:4: note: ' out.txt && break; sleep 0.05; done

mapfile -t lines < <(tail -n +2 show/test.dat)
[ "${#lines[@]}" -eq 3 ] || fail "test.dat holds $(cat show/test.dat)"
for i in 0 1 2; do
    read -r time name target <<<"${lines[$i]}"
    read -r before after <<<"${bounds[$i]}"
    awk -v t="$time" -v a="$before" -v b="$after" 'BEGIN { exit !(t >= a - 0.02 && t <= b + 0.02) }' ||
        fail "event $i at $time, pressed between $before and $after"
    want=$([ "$i" -eq 0 ] && echo 1 || echo 2)
    [ "$name $target" = "offset $want" ] || fail "event $i: ${lines[$i]}"
done
# Where each went, in --check's words, after the file was read again.
check=$(grep '^test.dat:[234]: note: ' out.txt | tail -n 3)
[[ "$check" == *"test.dat:2: note: "*" offset goes to a (effect near, FxRenderParticles)"* ]] || fail "$check"
[[ "$check" == *"test.dat:4: note: "*" offset goes to b (effect far, FxRenderParticles)"* ]] || fail "$check"

for _ in 1 2 3; do
    xdotool key --window "$id" ctrl+z
    sleep 0.1
done
sleep 0.3
cmp -s show/test.dat original.dat || fail "undone three times: $(cat show/test.dat)"

# An editor's save between two recordings stays.
count=$(reloads)
record
wait_for_reloads $((count + 1))
count=$(reloads)
printf '0.50 offset 1\n0.75 pushback 2\n%s\n' "$(tail -n 1 show/test.dat)" >show/test.new
mv show/test.new show/test.dat
wait_for_reloads $((count + 1))
record
sleep 0.3
[ "$(sed -n 2p show/test.dat)" = "0.75 pushback 2" ] || fail "the editor's line is gone: $(cat show/test.dat)"
[ "$(wc -l <show/test.dat)" -eq 4 ] || fail "$(cat show/test.dat)"

xdotool key --window "$id" Escape
wait_for_exit 10 || fail "status $? after Escape"
echo ok
