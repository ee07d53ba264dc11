# --until ends a play, a capture or a benchmark at that demo time, with the
# capture's files completed and the benchmark's figures printed.
source "$(dirname "$0")/player.sh"

# From 10 s to 12 s at 10 steps a second: frames at 10.0 ... 11.9, and 2 s of
# sound (the minimal demo has no music, so it is silence).
timeout -k 5 60 "$player" --windowed --start 10 --until 12 --capture part --fps 10 >out.txt 2>err.txt
status=$?
[ "$status" -eq 0 ] || fail "capture status $status: $(cat err.txt)"
[ "$(ls part | grep -c '^frame_[0-9]\{6\}\.png$')" -eq 20 ] || fail "frames: $(ls part | tail -n 3)"
[ "$(stat -c %s part/audio.wav)" -eq $((44 + 20 * 4410 * 4)) ] || fail "audio.wav: $(stat -c %s part/audio.wav) bytes"
grep -q '^capture: 20 frames at 10 per second and audio.wav (2.000 s) in part$' err.txt ||
    fail "no closing line: $(cat err.txt)"

timeout -k 5 60 "$player" --windowed --benchmark --until 0.5 >out.txt 2>err.txt
status=$?
[ "$status" -eq 0 ] || fail "benchmark status $status: $(cat err.txt)"
grep -q '^benchmark: 30 frames in steps of 1/60 s, demo time 0.000 to 0.483 s$' out.txt ||
    fail "benchmark figures: $(grep '^benchmark' out.txt)"

# Played in real time, it ends by itself soon after its end time.
start=$(date +%s)
timeout -k 5 30 "$player" --windowed --until 1 >out.txt 2>err.txt
status=$?
[ "$status" -eq 0 ] || fail "play status $status: $(cat err.txt)"
[ $(($(date +%s) - start)) -lt 20 ] || fail "play did not end near its end time"
echo ok
