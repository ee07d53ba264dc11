# --start 250 begins five seconds before the end: the demo ends by itself
# after 255 s with status 0, nobody pressing anything.
source "$(dirname "$0")/player.sh"
use_bundled_demo

start_player --windowed --start 250
id=$(wait_for_window '^Quarn time: 25[0-5]\.') || exit 1
wait_for_exit 40
status=$?
[ "$status" -eq 0 ] || fail "status $status at the end of the demo: $(cat err.txt)"
echo ok
