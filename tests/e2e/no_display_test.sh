# Without a display the player says why and stops at once instead of playing
# the demo unseen, unless another video driver is asked for.
source "$(dirname "$0")/player.sh"

env -u DISPLAY -u WAYLAND_DISPLAY -u SDL_VIDEODRIVER timeout -k 5 30 "$player" --windowed >out.txt 2>err.txt
status=$?
[ "$status" -ne 124 ] || fail "still playing after 30 s without a display"
[ "$status" -ne 0 ] || fail "status 0 without a display"
grep -q "^Couldn't start the window system: ." err.txt || fail "stderr: $(cat err.txt)"
[ ! -s out.txt ] || fail "the demo started: $(head -n 3 out.txt)"

# A driver named explicitly is still used.
env -u DISPLAY -u WAYLAND_DISPLAY SDL_VIDEODRIVER=offscreen timeout -k 5 30 "$player" --windowed --benchmark \
    --start 254 >out.txt 2>err.txt
status=$?
[ "$status" -eq 0 ] || fail "offscreen driver: status $status: $(cat err.txt)"
grep -q '^benchmark: ' out.txt || fail "offscreen driver: no benchmark summary"
echo ok
