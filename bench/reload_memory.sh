#!/usr/bin/env bash
# Resident memory of a live session over many presses of R (reload).
#
#   bench/reload_memory.sh [PLAYER] [DEMO_FOLDER] [RELOADS] [-- PLAYER_OPTIONS...]
#
# PLAYER defaults to build/quarn2, DEMO_FOLDER to demo/, RELOADS to 200.
# Plays a copy of the folder live in a window (under xvfb-run when there is
# no display), pauses it with space, then presses R once every 0.4 s, each
# press after the reload before it has printed its "reloaded" line, and
# prints VmRSS after 0 (the settled start: three reloads in), 10, 50, 100
# and 200 reloads, and the growth: once as the last reload's line appears
# and once more after 2 s of idling (what the session keeps, without the
# work still running just after a reload). Prints figures only; asserts
# nothing. Needs xdotool.
#
# RELOAD_MEMORY_WRAPPER runs the player under a tool, e.g.
#   RELOAD_MEMORY_WRAPPER="heaptrack -o /tmp/reload" bench/reload_memory.sh build/quarn2 demo 30
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
player=$(realpath "${1:-$root/build/quarn2}")
demo=$(realpath "${2:-$root/demo}")
reloads=${3:-200}
shift $(($# < 3 ? $# : 3))
[[ ${1:-} == -- ]] && shift
extra=("$@")

if [[ -z ${DISPLAY:-} ]]; then
    exec xvfb-run -a -s "-screen 0 640x480x24 -noreset" "$0" "$player" "$demo" "$reloads" -- "${extra[@]}"
fi

work=$(mktemp -d /tmp/reload_memory.XXXXXX)
pid=
window=
playerPid=
# Escape ends the session as a user would, so that a wrapper sees the end;
# a player that does not end is killed.
cleanup() {
    if [[ -n $pid ]] && kill -0 "$pid" 2>/dev/null; then
        [[ -n $window ]] && xdotool key --window "$window" Escape 2>/dev/null
        for _ in $(seq 300); do
            kill -0 "$pid" 2>/dev/null || break
            sleep 0.1
        done
        if kill -0 "$pid" 2>/dev/null; then
            kill "${playerPid:-$pid}" 2>/dev/null || true
        fi
        wait "$pid" 2>/dev/null || true
    fi
    rm -rf "$work"
}
trap cleanup EXIT
cp -r "$demo" "$work/demo"
# shellcheck disable=SC2086 # the wrapper is words
SDL_AUDIODRIVER=dummy ${RELOAD_MEMORY_WRAPPER:-} "$player" --live --windowed "${extra[@]}" "$work/demo" >"$work/out.txt" 2>"$work/err.txt" &
pid=$!

# Under a wrapper the player is a child of the started process: the window
# names its own process.
for _ in $(seq 600); do
    window=$(xdotool search --onlyvisible --classname quarn2 2>/dev/null | head -n1 || true)
    [[ -n $window ]] && break
    sleep 0.1
done
if [[ -z $window ]]; then
    echo "no window from $player" >&2
    exit 1
fi
playerPid=$(xdotool getwindowpid "$window")

rss() { awk '/^VmRSS:/ { print $2 }' "/proc/$playerPid/status"; }
reloadedCount() { grep -c '^reloaded ' "$work/out.txt" || true; }

# Each press waits for the reload before it (at most 10 s), then 0.4 s.
press() {
    local want=$(($(reloadedCount) + 1))
    xdotool key --window "$window" r
    for _ in $(seq 100); do
        (($(reloadedCount) >= want)) && break
        sleep 0.1
    done
    sleep 0.4
}

sleep 1
xdotool key --window "$window" space
sleep 0.4
# The first readings fill caches and pools that then stay; what grows after
# them is what each reading leaves behind.
for _ in 1 2 3; do press; done
base=$(rss)
sleep 2
baseIdle=$(rss)
printf '%-8s %12s %12s %12s %12s\n' reloads "VmRSS kB" "growth kB" "idle kB" "idle growth"
line() {
    local now idle
    now=$(rss)
    sleep 2
    idle=$(rss)
    printf '%-8s %12s %12s %12s %12s\n' "$1" "$now" $((now - base)) "$idle" $((idle - baseIdle))
}
printf '%-8s %12s %12s %12s %12s\n' 0 "$base" 0 "$baseIdle" 0
pressed=0
for mark in 10 50 100 200 500 1000 "$reloads"; do
    ((mark > reloads || mark <= pressed)) && continue
    while ((pressed < mark)); do
        press
        pressed=$((pressed + 1))
    done
    line "$mark"
done
echo "reloaded lines: $(reloadedCount), reload failures: $(grep -c '^reload failed' "$work/err.txt" || true)"
awk '/^reloaded / { ms += $(NF - 1); n++ } END { if (n) printf "mean reload: %.0f ms\n", ms / n }' "$work/out.txt"
