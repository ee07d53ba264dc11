# Started from a desktop launcher (no terminal), the player shows its errors
# in a dialog; measured runs never do.
source "$(dirname "$0")/player.sh"
unset QUARN_NO_DIALOGS

cat >iDemo.dat <<'SCRIPT'
defineEffect pic as FxGLLayerObject
textureFilename : no-such-picture.tga
end
defineEffect root as Effect
end
createInstance of root as iDemo at 0 1000
createInstance of pic as iDemo.pic at 0 10
addChild iDemo.pic to iDemo
bah
SCRIPT

start_player --windowed </dev/null
# The box carries no process id; the other tests never show one.
closed=
for _ in $(seq 400); do
    "${QUARN_CLOSE_REQUEST:?}" --name 'Error!' && closed=1 && break
    kill -0 "$player_pid" 2>/dev/null || fail "player ended without a dialog: $(cat err.txt)"
    sleep 0.05
done
[ -n "$closed" ] || fail "no dialog"
wait_for_exit 10
status=$?
[ "$status" -eq 1 ] || fail "status $status after the dialog"
grep -q 'no-such-picture\.tga' err.txt || fail "stderr: $(cat err.txt)"

# Nobody answers a box in a measured run: it ends at once.
timeout -k 5 30 "$player" --windowed --benchmark </dev/null >out.txt 2>err.txt
status=$?
[ "$status" -eq 1 ] || fail "benchmark: status $status"
echo ok
