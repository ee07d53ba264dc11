# --capture writes one PNG per fixed step and the music as heard.
source "$(dirname "$0")/player.sh"
check=${QUARN_CAPTURE_CHECK:?the capture_check tool}
use_bundled_demo

# Five seconds from 250 s at 10 steps: 250.0 to 255.0 are drawn, the frame
# at 255.1 ends the demo. 51 frames, and 4410 sound frames for each.
timeout -k 5 120 "$player" --windowed --start 250 --capture near-end --fps 10 >out.txt 2>err.txt
status=$?
[ "$status" -eq 0 ] || fail "status $status: $(cat err.txt)"
[ "$(ls near-end | grep -c '^frame_[0-9]\{6\}\.png$')" -eq 51 ] || fail "frames: $(ls near-end | tail -n 3)"
[ -f near-end/frame_000050.png ] || fail "last frame missing"
[ "$(stat -c %s near-end/audio.wav)" -eq $((44 + 51 * 4410 * 4)) ] || fail "audio.wav: $(stat -c %s near-end/audio.wav) bytes"
grep -q '^capture: 51 frames at 10 per second and audio.wav (5.100 s) in near-end$' err.txt ||
    fail "no closing line: $(cat err.txt)"

# The whole demo, one frame a second: 256 frames (0 to 255 s) and 256 s of
# sound, whose last 10 s are silent after the fade.
timeout -k 5 200 "$player" --windowed --capture whole --fps 1 >out.txt 2>err.txt
status=$?
[ "$status" -eq 0 ] || fail "status $status: $(cat err.txt)"
[ "$(ls whole | grep -c '^frame_[0-9]\{6\}\.png$')" -eq 256 ] || fail "frames: $(ls whole | tail -n 3)"
read -r _ frames _ peak <<<"$("$check" wav whole/audio.wav 246 end)"
[ "$frames" -eq $((256 * 44100)) ] || fail "audio.wav holds $frames sound frames"
[ "$peak" -eq 0 ] || fail "not silent after the fade: peak $peak"
read -r _ _ _ peak <<<"$("$check" wav whole/audio.wav 10 200)"
[ "$peak" -gt 1000 ] || fail "the music is missing: peak $peak"

# Started mid-way, the same pictures as the run from 0: at the first
# frame of a scene, and in the middle of the torus's "pushback" events.
for start in 48 110; do
    timeout -k 5 120 "$player" --windowed --capture "from$start" --fps 1 --start "$start" --until $((start + 2)) >out.txt 2>err.txt ||
        fail "--start $start: $(cat err.txt)"
    for k in 0 1; do
        cmp -s "from$start/$(printf 'frame_%06d.png' "$k")" "whole/$(printf 'frame_%06d.png' $((start + k)))" ||
            fail "--start $start: frame $k differs from frame $((start + k)) of the run from 0"
    done
done

# Scenes at chosen times: lit, and each unlike the others.
scenes=(10 30 60 110 136 190)
for t in "${scenes[@]}"; do
    lit=$("$check" lit "whole/$(printf 'frame_%06d.png' "$t")") || fail "frame $t unreadable"
    awk -v v="$lit" 'BEGIN { exit !(v > 5) }' || fail "frame at $t s is nearly black ($lit% lit)"
done
for a in "${scenes[@]}"; do
    for b in "${scenes[@]}"; do
        [ "$a" -lt "$b" ] || continue
        d=$("$check" differ "whole/$(printf 'frame_%06d.png' "$a")" "whole/$(printf 'frame_%06d.png' "$b")")
        awk -v v="$d" 'BEGIN { exit !(v > 10) }' || fail "frames at $a s and $b s look alike ($d)"
    done
done
echo ok
