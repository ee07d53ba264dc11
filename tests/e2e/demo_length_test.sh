# A demo sets its own length with "fadeout" and "end" sync events: the run
# ends by itself there, and the music fades out between the two.
source "$(dirname "$0")/player.sh"
check=${QUARN_CAPTURE_CHECK:?the capture_check tool}
use_bundled_demo
printf '8 fadeout 0\n10 end 0\n' >test.dat

DISPLAY= timeout 20 "$player" --check >out.txt 2>err.txt
grep -qx "test.dat:1: note: 8.000 fadeout: the music fades out from 8 s to the demo's end at 10 s" out.txt ||
    fail "no line for the fade: $(cat out.txt)"
grep -qx "test.dat:2: note: 10.000 end: the demo ends at 10 s, the music fading out from 8 s" out.txt ||
    fail "no line for the end: $(cat out.txt)"

start_player --windowed
wait_for_exit 40
status=$?
[ "$status" -eq 0 ] || fail "status $status: $(cat err.txt)"

# At 10 steps a second, 0.0 to 10.0 s are drawn and the frame at 10.1 ends
# the run; the sound is full before 8 s and nearly gone just before 10 s.
timeout -k 5 120 "$player" --windowed --capture short --fps 10 >out.txt 2>err.txt
status=$?
[ "$status" -eq 0 ] || fail "capture status $status: $(cat err.txt)"
[ "$(ls short | grep -c '^frame_[0-9]\{6\}\.png$')" -eq 101 ] || fail "frames: $(ls short | tail -n 3)"
read -r _ frames _ before <<<"$("$check" wav short/audio.wav 6 8)"
read -r _ _ _ late <<<"$("$check" wav short/audio.wav 9.8 end)"
[ "$frames" -eq $((101 * 4410)) ] || fail "audio.wav holds $frames sound frames"
[ "$before" -gt 1000 ] || fail "the music is missing before the fade: peak $before"
[ "$late" -lt $((before / 5)) ] || fail "no fade: peak $late at the end against $before before"
echo ok
