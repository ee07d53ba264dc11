# --windowed keeps the display and shows time and frame rate in the title.
source "$(dirname "$0")/player.sh"

start_player --windowed
id=$(wait_for_window '^Quarn time: ') || exit 1
wait_for_first_frame
title=$(xdotool getwindowname "$id")
[[ "$title" =~ ^Quarn\ time:\ [0-9]+\.[0-9]{3}\ fps:\ [0-9]+\.[0-9]{3}\ $ ]] || fail "title '$title'"
# Sent to the window itself: other tests' windows may cover it.
xdotool key --window "$id" Escape
wait_for_exit 10 || fail "status $? after Escape"
echo ok
