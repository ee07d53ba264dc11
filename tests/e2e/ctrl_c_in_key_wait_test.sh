# On a terminal, one Ctrl-C in the key wait after a broken script block ends
# the player with status 0, however many broken blocks are still to come.
source "$(dirname "$0")/player.sh"

printf 'defineEffect a as Effect\nbroken one\ndefineEffect b as Effect\nbroken two\n' >iDemo.dat
printf 'defineEffect c as Effect\nbroken three\ndefineEffect root as Effect\nend\n' >>iDemo.dat
printf 'createInstance of root as iDemo at 0 1000\nbah\n' >>iDemo.dat

# script(1) gives the player a terminal of its own as its foreground job;
# what is written to the fifo is typed on that terminal.
mkfifo keys
SDL_VIDEODRIVER=offscreen timeout -k 5 60 script -qfec "exec $player --windowed" /dev/null <keys >out.txt 2>err.txt &
player_pid=$!
exec 3>keys
wait_for_output 'invalid operator!'
# The wait has begun once the player's terminal no longer edits lines.
player_below() {
    local child
    for child in $(cat /proc/"$1"/task/*/children 2>/dev/null); do
        [ "$(cat "/proc/$child/comm" 2>/dev/null)" = quarn2 ] && { echo "$child"; return 0; }
        player_below "$child" && return 0
    done
    return 1
}
quarn=$(player_below "$player_pid") || fail "no player under script"
for _ in $(seq 200); do
    stty -F "/proc/$quarn/fd/0" -a 2>/dev/null | grep -q -- '-icanon' && break
    sleep 0.05
done
printf '\003' >&3
wait_for_exit 10
status=$?
exec 3>&-
[ "$status" -eq 0 ] || fail "status $status after Ctrl-C: $(cat err.txt)"
[ "$(grep -c 'invalid operator!' out.txt)" -eq 3 ] || fail "not every block was read: $(cat out.txt)"
echo ok
