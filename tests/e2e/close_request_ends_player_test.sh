# A window manager's close request ends the player with status 0.
source "$(dirname "$0")/player.sh"
close_request=${QUARN_CLOSE_REQUEST:?the send_close_request tool}

start_player
id=$(wait_for_window '^Quarn 2$') || exit 1
wait_for_first_frame
"$close_request" "$id" || fail "could not send the close request"
wait_for_exit 10
status=$?
[ "$status" -eq 0 ] || fail "status $status after the close request"
expect_demo_started
echo ok
