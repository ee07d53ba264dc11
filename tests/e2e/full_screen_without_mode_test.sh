# On a screen without a 640x480 mode (as under Wayland) full screen uses the
# desktop's own resolution: the 4:3 picture drawn at it between black bars,
# never stretched, and no complaint. Escape still ends the run.
source "$(dirname "$0")/player.sh"
pixel=${QUARN_WINDOW_PIXEL:?the window_pixel helper}

# The moving tunnel: it fills its picture but for a thin strip at the sides.
writeTunnelDemo

cat >run.sh <<'INNER'
timeout -k 5 60 "$1" >out.txt 2>err.txt &
pid=$!
# 1024x576: a 768x576 picture from x 128 to 895.
expected='10 black 120 black 150 lit 512 lit 870 lit 900 black 1014 black'
for _ in $(seq 200); do
    id=$(xdotool search --all --pid "$(cat /proc/$pid/task/$pid/children)" --name '^Quarn 2$' 2>/dev/null | head -n 1)
    if [ -n "$id" ]; then
        for x in 10 120 150 512 870 900 1014; do
            echo "$x $("$2" "$id" "$x" 200 | awk '{ print ($1 > 16 || $2 > 16 || $3 > 16) ? "lit" : "black" }')"
        done | tr '\n' ' ' | sed 's/ $//' >pixels.txt
        [ "$(cat pixels.txt)" = "$expected" ] && break
    fi
    sleep 0.05
done
xdotool key Escape
wait "$pid"
INNER
xvfb-run -a -s "-screen 0 1024x576x24" bash run.sh "$player" "$pixel"
status=$?
[ "$status" -eq 0 ] || fail "status $status: $(cat err.txt)"
! grep -q "Couldn't change display settings" err.txt || fail "stderr: $(cat err.txt)"
[ "$(head -n 1 out.txt)" = "loading sync" ] || fail "first line: $(head -n 1 out.txt)"
[ "$(cat pixels.txt)" = '10 black 120 black 150 lit 512 lit 870 lit 900 black 1014 black' ] ||
    fail "pixels across row 200: $(cat pixels.txt)"
echo ok
