# --size: a capture draws off screen at the size asked for, whatever the
# screen's, with the 4:3 picture between black bars; sizes that cannot be
# drawn or encoded are refused with status 2 before anything opens.
source "$(dirname "$0")/player.sh"
check=${QUARN_CAPTURE_CHECK:?the capture_check tool}

writeTunnelDemo
capture() { timeout -k 5 120 "$player" --windowed --start 10 --until 10.2 --fps 10 "$@" >out.txt 2>err.txt; }

# 1920x1080 on a smaller screen: a 1440x1080 picture with 240-pixel bars.
capture --capture shots --size 1920x1080 || fail "status $?: $(cat err.txt)"
frame=shots/frame_000001.png
[ "$("$check" size "$frame")" = "1920x1080" ] || fail "frame size $("$check" size "$frame")"
[ "$("$check" lit "$frame" 0 0 240 1080)" = "0.0" ] || fail "left bar lit: $("$check" lit "$frame" 0 0 240 1080)"
[ "$("$check" lit "$frame" 1680 0 240 1080)" = "0.0" ] || fail "right bar lit: $("$check" lit "$frame" 1680 0 240 1080)"
# The tunnel fills its picture but for a thin strip at either side.
for column in "300 0 4 1080" "1616 0 4 1080" "300 0 1320 1080"; do
    lit=$("$check" lit "$frame" $column)
    awk -v v="$lit" 'BEGIN { exit !(v > 90) }' || fail "picture at $column: $lit % lit"
done

# The same moment at 640x480 is the picture the 1920x1080 one shows, finer.
capture --capture small || fail "status $?: $(cat err.txt)"
[ "$("$check" size small/frame_000001.png)" = "640x480" ] || fail "default size $("$check" size small/frame_000001.png)"

# A 4K video, pillarboxed.
capture --capture clip.mp4 --size 3840x2160 || fail "4K video: status $?: $(cat err.txt)"
read -r _ codec size _ _ frames _ _ _ errors _ <<<"$("$check" video clip.mp4)"
[ "$codec $size $frames $errors" = "h264 3840x2160 2 0" ] || fail "4K video: $codec $size, $frames frames, $errors errors"

# Refused, with the reason and status 2, before the demo starts.
refused() {
    local expected=$1
    shift
    timeout -k 5 60 "$player" "$@" >out.txt 2>err.txt
    local status=$?
    [ "$status" -eq 2 ] || fail "$* gave status $status: $(cat err.txt)"
    [ "$(head -n 1 err.txt)" = "$expected" ] || fail "$*: $(head -n 1 err.txt)"
    [ ! -s out.txt ] || fail "the demo started for $*"
    [ ! -e refused.mp4 ] || fail "$* left a file"
}
for size in 0x0 100000x100000 abc; do
    refused "quarn2: --size needs WIDTHxHEIGHT, each side from 1 to 65535, or desktop, not '$size'" \
        --windowed --size "$size"
done
refused "quarn2: --capture to a video needs an even width and height (yuv420p), not --size 641x480" \
    --windowed --capture refused.mp4 --size 641x480
# Larger than the GL's framebuffers can be (16384 at most with Mesa).
timeout -k 5 60 "$player" --windowed --size 40000x480 >out.txt 2>err.txt
status=$?
[ "$status" -eq 2 ] || fail "40000x480 gave status $status: $(cat err.txt)"
grep -q '^quarn2: --size 40000x480 is larger than this GL can draw: at most [0-9]* pixels on a side$' err.txt ||
    fail "40000x480: $(cat err.txt)"
[ ! -s out.txt ] || fail "the demo started for 40000x480"
echo ok
