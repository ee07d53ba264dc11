# The full-screen player opens "Quarn 2", draws frames and ends on Escape.
source "$(dirname "$0")/player.sh"

start_player
id=$(wait_for_window '^Quarn 2$') || exit 1
[ "$(xdotool getwindowname "$id")" = "Quarn 2" ] || fail "title changed in full screen"
wait_for_first_frame
expect_escape_ends_cleanly "$id"
echo ok
