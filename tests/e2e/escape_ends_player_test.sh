# The full-screen player opens "Quarn 2", draws frames and ends on Escape.
source "$(dirname "$0")/player.sh"

start_player
id=$(wait_for_window '^Quarn 2$') || exit 1
[ "$(xdotool getwindowname "$id")" = "Quarn 2" ] || fail "title changed in full screen"
wait_for_first_frame
# Sent to the window itself: other tests' windows may cover it.
xdotool key --window "$id" Escape
wait_for_exit 10
status=$?
[ "$status" -eq 0 ] || fail "status $status after Escape"
expect_demo_started
[ ! -s err.txt ] || fail "unexpected errors: $(cat err.txt)"
echo ok
