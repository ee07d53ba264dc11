# Without a display the player says why and stops at once instead of playing
# the demo unseen, unless another video driver is asked for.
source "$(dirname "$0")/player.sh"

env -u DISPLAY -u WAYLAND_DISPLAY -u SDL_VIDEODRIVER timeout -k 5 30 "$player" --windowed >out.txt 2>err.txt
status=$?
[ "$status" -ne 124 ] || fail "still playing after 30 s without a display"
[ "$status" -ne 0 ] || fail "status 0 without a display"
grep -q "^Couldn't start the window system: ." err.txt || fail "stderr: $(cat err.txt)"
[ ! -s out.txt ] || fail "the demo started: $(head -n 3 out.txt)"

# Live authoring as well, and with a driver that has no GL windows: the same
# message as play gives, status 1, nothing read or played.
env -u DISPLAY -u WAYLAND_DISPLAY -u SDL_VIDEODRIVER timeout -k 5 30 "$player" --live >out.txt 2>err.txt
status=$?
[ "$status" -eq 1 ] || fail "--live without a display: status $status"
grep -q "^Couldn't start the window system: ." err.txt || fail "--live stderr: $(cat err.txt)"
[ ! -s out.txt ] || fail "--live started the demo: $(head -n 3 out.txt)"
for mode in --windowed --live; do
    SDL_VIDEODRIVER=dummy timeout -k 5 30 "$player" $mode >out.txt 2>"err$mode.txt"
    status=$?
    [ "$status" -eq 1 ] || fail "$mode with the dummy driver: status $status"
    [ ! -s out.txt ] || fail "$mode with the dummy driver started the demo: $(head -n 3 out.txt)"
done
grep -q "^Couldn't create the window: " err--live.txt || fail "--live stderr: $(cat err--live.txt)"
cmp -s err--windowed.txt err--live.txt || fail "--live says '$(cat err--live.txt)', play '$(cat err--windowed.txt)'"

# A driver named explicitly is still used.
env -u DISPLAY -u WAYLAND_DISPLAY SDL_VIDEODRIVER=offscreen timeout -k 5 30 "$player" --windowed --benchmark \
    --start 254 >out.txt 2>err.txt
status=$?
[ "$status" -eq 0 ] || fail "offscreen driver: status $status: $(cat err.txt)"
grep -q '^benchmark: ' out.txt || fail "offscreen driver: no benchmark summary"
echo ok
