# A capture ended from outside: a hang-up (a closed terminal) ends it as
# Ctrl-C does, with the file complete; a kill, even SIGKILL, leaves a file
# that plays up to shortly before it; and a run that fails before its first
# frame leaves the earlier file alone.
source "$(dirname "$0")/player.sh"
check=${QUARN_CAPTURE_CHECK:?the capture_check tool}

writeTunnelDemo

# A minute of demo at 30 steps: far longer than the test waits.
start_capture() {
    timeout -k 5 200 "$player" --windowed --start 195 --fps 30 --capture "$1" >out.txt 2>err.txt &
    player_pid=$!
}
wait_for_progress() {
    for _ in $(seq 1200); do
        grep -q "^capture: frame $1," err.txt 2>/dev/null && return 0
        kill -0 "$player_pid" 2>/dev/null || fail "capture ended before frame $1: $(cat err.txt)"
        sleep 0.05
    done
    fail "no frame $1: $(cat err.txt)"
}

for name in killed.mp4 killed.mkv; do
    start_capture "$name"
    wait_for_progress 90
    kill -KILL "$(player_process)"
    wait "$player_pid"
    read -r _ codec _ _ _ frames _ _ _ errors _ audio seconds _ _ _ _ _ _ index <<<"$("$check" video "$name")" ||
        fail "$name does not play"
    [ "$codec $errors $audio" = "h264 0 aac" ] || fail "$name: $codec, $errors errors, $audio"
    # The last second or so, and what the encoder still held, are lost.
    [ "$frames" -ge 30 ] && [ "$frames" -le 120 ] || fail "$name holds $frames frames"
    awk -v s="$seconds" -v f="$frames" 'BEGIN { exit !(s > 0.9 && s < f / 30 + 1) }' || fail "$name: $seconds s of sound"
    [ ! -e "$name.part" ] || fail "$name.part left behind"
    [ "$name" = killed.mkv ] || [ "$index" = fragments ] || fail "$name: index $index"
done

start_capture killed.mp4
wait_for_progress 60
kill -HUP "$(player_process)"
wait "$player_pid"
status=$?
[ "$status" -eq 0 ] || fail "a hang-up gave status $status: $(tail -n 2 err.txt)"
written=$(sed -n 's/^capture: \([0-9]*\) frames at 30 per second with sound (.*) in .*killed\.mp4, [0-9.]* MB$/\1/p' err.txt)
[ -n "$written" ] && [ "$written" -ge 60 ] || fail "no closing line: $(tail -n 2 err.txt)"
read -r _ codec _ _ _ frames _ _ _ errors _ audio _ _ _ _ _ _ _ index <<<"$("$check" video killed.mp4)"
[ "$codec $frames $errors $audio $index" = "h264 $written 0 aac first" ] ||
    fail "after a hang-up: $codec, $frames frames, $errors errors, $audio, index $index"

# No window: refused before the first frame, and the file stays as it was.
cp killed.mp4 before.mp4
env -u DISPLAY -u WAYLAND_DISPLAY timeout -k 5 60 "$player" --windowed --capture killed.mp4 >out.txt 2>err.txt
status=$?
[ "$status" -eq 1 ] || fail "no display gave status $status"
cmp -s killed.mp4 before.mp4 || fail "a capture without a window changed the earlier file"
[ ! -e killed.mp4.part ] || fail "killed.mp4.part left behind"
echo ok
