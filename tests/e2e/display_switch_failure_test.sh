# On a screen without a 640x480 mode the switch fails: the message goes to
# stderr without blocking and the player goes on in a window until Escape.
source "$(dirname "$0")/player.sh"

cat >run.sh <<'INNER'
timeout -k 5 60 "$1" >out.txt 2>err.txt &
pid=$!
for _ in $(seq 400); do
    grep -q '^error, stream is null!$' out.txt 2>/dev/null && break
    sleep 0.05
done
xdotool key Escape
wait "$pid"
INNER
xvfb-run -a -s "-screen 0 800x600x24" bash run.sh "$player"
status=$?
[ "$status" -eq 0 ] || fail "status $status: $(cat err.txt)"
[ "$(cat err.txt)" = "Error!: Couldn't change display settings" ] || fail "stderr: $(cat err.txt)"
expect_demo_started
echo ok
