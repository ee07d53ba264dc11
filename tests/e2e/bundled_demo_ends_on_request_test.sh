# The bundled demo loads and plays, and ends with status 0 on Escape (full
# screen) and on a window manager's close request (windowed).
source "$(dirname "$0")/player.sh"
close_request=${QUARN_CLOSE_REQUEST:?the send_close_request tool}
use_bundled_demo

start_player
id=$(wait_for_window '^Quarn 2$') || exit 1
wait_for_output '^ename: iDemo$'
xdotool key --window "$id" Escape
wait_for_exit 20
status=$?
[ "$status" -eq 0 ] || fail "status $status after Escape: $(cat err.txt)"
grep -q 'loading demo script$' out.txt || fail "script not loaded: $(cat out.txt)"
! grep -q 'could not be played\|stream is null\|could not be created' out.txt err.txt ||
    fail "the demo did not load whole: $(grep -h 'could not' out.txt err.txt)"

start_player --windowed
id=$(wait_for_window '^Quarn time: ') || exit 1  # titled by its first frame
"$close_request" "$id" || fail "could not send the close request"
wait_for_exit 20
status=$?
[ "$status" -eq 0 ] || fail "status $status after the close request: $(cat err.txt)"
echo ok
