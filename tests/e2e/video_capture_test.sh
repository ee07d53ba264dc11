# --capture FILE.mp4 (or .mkv) encodes pictures and sound into one file.
source "$(dirname "$0")/player.sh"
check=${QUARN_CAPTURE_CHECK:?the capture_check tool}

# A moving tunnel and the bundled music, two seconds before the demo's end.
writeTunnelDemo
capture() { timeout -k 5 120 "$player" --windowed --start 253 --fps 30 --capture "$@" >out.txt 2>err.txt; }

# 253.0 to 255.0 s at 30 steps: 61 frames, as in the folder form.
capture shots || fail "folder capture: $(cat err.txt)"
capture clip.mp4 || fail "status $?: $(cat err.txt)"
grep -q '^capture: 61 frames at 30 per second with sound (2\.0[34][0-9] s) in clip\.mp4, [0-9.]* MB$' err.txt ||
    fail "closing line: $(tail -n 1 err.txt)"
read -r _ codec size rate _ frames _ first _ errors _ audio seconds _ _ afirst _ peak _ index <<<"$("$check" video clip.mp4)"
[ "$codec $size $rate $frames $first $errors" = "h264 640x480 30.000 61 0.000 0" ] ||
    fail "picture: $codec $size $rate, $frames frames from $first, $errors errors"
# Sound from 0 for as long as the pictures, up to its last 1024-sample block.
[ "$audio $afirst $index" = "aac 0.000 first" ] || fail "sound: $audio from $afirst, index $index"
awk -v s="$seconds" 'BEGIN { exit !(s >= 2.033 && s < 2.033 + 1024 / 44100) }' || fail "sound lasts $seconds s"
[ "$peak" -gt 1000 ] || fail "the music is missing: peak $peak"
# Pictures of the same moments as the PNGs, first, middle and last.
for n in 0 30 60; do
    db=$("$check" snr clip.mp4 "$n" "shots/$(printf 'frame_%06d.png' "$n")") || fail "picture $n unreadable"
    awk -v v="$db" 'BEGIN { exit !(v >= 30) }' || fail "picture $n differs from the PNG: $db dB"
done

capture clip.mkv || fail "status $?: $(cat err.txt)"
read -r _ codec _ _ _ frames _ _ _ errors _ audio _ <<<"$("$check" video clip.mkv)"
[ "$codec $frames $errors $audio" = "h264 61 0 aac" ] || fail "clip.mkv: $codec, $frames frames, $errors errors, $audio"

# Refused before the window opens: an unknown type and a path that cannot be written.
capture clip.avi
status=$?
[ "$status" -eq 1 ] || fail "clip.avi gave status $status"
[ "$(cat err.txt)" = "capture: 'clip.avi' is not a directory and does not end in .mp4 or .mkv" ] ||
    fail "clip.avi: $(cat err.txt)"
[ ! -s out.txt ] || fail "the demo started for clip.avi"
capture missing/clip.mp4
status=$?
[ "$status" -eq 1 ] || fail "missing/clip.mp4 gave status $status"
[ "$(cat err.txt)" = "capture: cannot write 'missing/clip.mp4' (No such file or directory)" ] ||
    fail "missing/clip.mp4: $(cat err.txt)"
[ ! -s out.txt ] || fail "the demo started for missing/clip.mp4"

# The file size limit reached half-way: a message and status 1, and what
# was written is a file that plays to its end.
(ulimit -f 300 && capture full.mp4)
status=$?
[ "$status" -eq 1 ] || fail "a full file gave status $status"
written=$(sed -n "s/^capture: cannot write 'full\.mp4' (File too large); it ends after \([0-9]*\) frames$/\1/p" err.txt)
[ -n "$written" ] && [ "$written" -gt 0 ] && [ "$written" -lt 61 ] || fail "no message: $(cat err.txt)"
[ "$(stat -c %s full.mp4)" -le $((300 * 1024)) ] || fail "full.mp4 is larger than the limit"
read -r _ codec _ _ _ frames _ _ _ errors _ audio seconds _ _ _ _ _ _ index <<<"$("$check" video full.mp4)"
[ "$codec $frames $errors $audio" = "h264 $written 0 aac" ] ||
    fail "full.mp4: $codec, $frames frames, $errors errors, $audio"
# The copy with the index at the front needs room of its own; without it
# the file stays as streamed, in fragments, and the run says so.
without="capture: 'full.mp4' plays as written, without its index at the front (File too large)"
case $index in
first) ! grep -qF "$without" err.txt || fail "told of a missing index that is there" ;;
fragments) grep -qxF "$without" err.txt || fail "not told the index is missing: $(cat err.txt)" ;;
*) fail "full.mp4: index $index" ;;
esac
echo ok
