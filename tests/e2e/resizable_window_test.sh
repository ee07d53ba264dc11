# --windowed --size WxH: a window of that size with the 4:3 picture between
# black bars; resized, the picture follows at the new size.
source "$(dirname "$0")/player.sh"
pixel=${QUARN_WINDOW_PIXEL:?the window_pixel helper}

# The moving tunnel: it fills its picture but for a thin strip at the sides.
writeTunnelDemo

# shades_at X,Y ...: each point black or lit, one line each.
shades_at() {
    local point
    for point in "$@"; do
        "$pixel" "$id" "${point%,*}" "${point#*,}" | awk '{ print ($1 > 16 || $2 > 16 || $3 > 16) ? "lit" : "black" }'
    done
}
# expect_shades SECONDS EXPECTED POINTS...: waits until the points show EXPECTED.
expect_shades() {
    local deadline=$(($(date +%s%N) + $1 * 1000000000)) expected=$2 seen
    shift 2
    while [ "$(date +%s%N)" -lt "$deadline" ]; do
        seen=$(shades_at "$@" | tr '\n' '/')
        [ "$seen" = "$expected" ] && return 0
        sleep 0.05
    done
    fail "at $*: '$seen', not '$expected'"
}

start_player --windowed --size 480x270
id=$(wait_for_window '^Quarn time: ') || exit 1
# 480x270: a 360x270 picture from x 60 to 419.
expect_shades 10 'black/lit/lit/lit/black/' 50,100 75,100 200,100 405,100 430,100

# Made taller: 400x400 holds a 400x300 picture from y 50 to 349.
xdotool windowsize "$id" 400 400
expect_shades 10 'black/lit/lit/lit/black/' 150,40 150,60 150,150 150,340 150,360
xdotool key --window "$id" Escape
wait_for_exit 10 || fail "status $? after Escape"
echo ok
