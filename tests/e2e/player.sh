# Helpers for tests that run the real player under the test's X display.
# Source it; $player is the quarn2 binary.

player=${1:?usage: $0 path/to/quarn2}
workdir=$(mktemp -d)
trap 'rm -rf "$workdir"' EXIT
cd "$workdir"

# A minimal demo: a plain root effect, one sync event, no music (the player
# then runs silently). The dummy audio driver keeps ALSA quiet on machines
# without a sound card.
export SDL_AUDIODRIVER=dummy
printf 'defineEffect root as Effect\nend\ncreateInstance of root as iDemo at 0 1000\nbah\n' >iDemo.dat
printf '0.1 zrotate 0\n' >test.dat

fail() { echo "FAIL: $*" >&2; exit 1; }

# start_player [options...]: runs it in the background, output in out.txt/err.txt
start_player() {
    timeout -k 5 60 "$player" "$@" >out.txt 2>err.txt &
    player_pid=$!
}

# The player process itself, the child of timeout.
player_process() {
    cat "/proc/$player_pid/task/$player_pid/children" 2>/dev/null | awk '{print $1}'
}

# wait_for_window REGEX: prints the id of the player's first window whose name
# matches. Other tests share the display, so only this player's windows count.
wait_for_window() {
    local id pid
    for _ in $(seq 400); do
        pid=$(player_process)
        [ -n "$pid" ] && id=$(xdotool search --all --pid "$pid" --name "$1" 2>/dev/null | head -n 1)
        if [ -n "$id" ]; then echo "$id"; return 0; fi
        kill -0 "$player_pid" 2>/dev/null || fail "player ended before its window appeared: $(cat err.txt)"
        sleep 0.05
    done
    fail "no window named '$1'"
}

# wait_for_first_frame: returns once the demo has started (the last line of
# its start-up is written just before the first frame).
wait_for_first_frame() {
    for _ in $(seq 400); do
        grep -q '^error, stream is null!$' out.txt 2>/dev/null && return 0
        kill -0 "$player_pid" 2>/dev/null || fail "player ended before its first frame: $(cat err.txt)"
        sleep 0.05
    done
    fail "no frame drawn"
}

# wait_for_exit SECONDS: the player's exit status, or failure if it is still running.
wait_for_exit() {
    for _ in $(seq $(($1 * 20))); do
        if ! kill -0 "$player_pid" 2>/dev/null; then
            wait "$player_pid"
            return
        fi
        sleep 0.05
    done
    kill "$player_pid"
    fail "player still running after $1 s"
}

# The demo started: the sync file, the missing music and the script were read.
expect_demo_started() {
    [ "$(head -n 1 out.txt)" = "loading sync" ] || fail "first line: $(head -n 1 out.txt)"
    grep -q '^ename: iDemo$' out.txt || fail "script not read: $(cat out.txt)"
    grep -q '^error, stream is null!$' out.txt || fail "music start missing: $(cat out.txt)"
}

# Escape ends the minimal demo with status 0, after it started, with nothing
# on stderr. Sent to the window itself: other tests' windows may cover it.
expect_escape_ends_cleanly() {
    xdotool key --window "$1" Escape
    wait_for_exit 10
    local status=$?
    [ "$status" -eq 0 ] || fail "status $status after Escape"
    expect_demo_started
    [ ! -s err.txt ] || fail "unexpected errors: $(cat err.txt)"
}

# use_bundled_demo: replaces the minimal demo with a copy of the one in demo/.
use_bundled_demo() {
    cp "${QUARN_SOURCE_DIR:?the source tree}"/demo/* . || fail "cannot copy the bundled demo"
}

# wait_for_output REGEX: returns once a line of out.txt matches.
wait_for_output() {
    for _ in $(seq 600); do
        grep -q "$1" out.txt 2>/dev/null && return 0
        kill -0 "$player_pid" 2>/dev/null || fail "player ended before printing '$1': $(cat err.txt)"
        sleep 0.05
    done
    fail "never printed '$1'"
}

# A demo of one moving tunnel (the UV map) with the bundled music, written
# into the current directory.
writeTunnelDemo() {
    cp "${QUARN_SOURCE_DIR:?the source tree}"/demo/{tunnel.jpg,demomusik.mp3} . || fail "cannot copy the demo files"
    cat >iDemo.dat <<'SCRIPT'
defineEffect root as Effect
end
defineEffect tunnel as FxGLUVMap
resolution : %2
textureFilename : tunnel.jpg
u : acos(x/(r+0.0001))*0.3183+0.12*sin(t*0.6)
v : "0.35/(r+0.02)+t*0.8"
end
createInstance of root as iDemo at 0 1000
createInstance of tunnel as iDemo.tunnel at 0 1000
addChild iDemo.tunnel to iDemo
bah
SCRIPT
}
