#!/usr/bin/env bash
# Captures a stretch of a demo as one video, rendered in segments by GNU
# parallel on this machine or on others, then joined without re-encoding.
#
# Usage: farm-capture.sh [--segments K] [-j N] [--sshloginfile FILE]
#                        [--start S] [--until U] [--fps N] [--size WxH]
#                        [--retries R] [--player PATH] OUT.mp4 [DIR]
#
# Renders [S, U) of the demo in DIR (default: the current directory) at N
# frames a second (default 60) in K segments (default 4). Each segment is a
# capture started mid-way, which shows exactly the frames a capture from 0
# shows there, starts with a key frame and closes its last group of
# pictures, so the segments join by stream copy. The sound is one offline
# mix of the whole range, muxed once at the end: no seam can click.
#
# Work goes to OUT.parts/ (segments, the joblog, the sound). A failed
# segment is retried R times (default 2); if it still fails, the script
# names it, keeps what is done and exits 1. Running the same command again
# renders only the missing or failed segments. OUT.parts/ is removed once
# OUT is joined and checked.
#
# With --sshloginfile, segments run on the machines listed there (GNU
# parallel's format): the demo folder, the player and the segment command
# go there as one archive, the segments come back. The machines need the
# player's libraries (scripts/install-deps.sh) and xvfb-run when they have
# no display.
set -euo pipefail

here=$(cd "$(dirname "$0")" && pwd)
segments=4
jobs=2
sshloginfile=""
start=0
until=""
fps=60
size=""
retries=2
player=${QUARN_PLAYER:-$here/../build/quarn2}

usage() {
    sed -n '4,7p' "$0" | sed 's/^# \{0,1\}//' >&2
    exit 2
}
fail() {
    echo "farm: $*" >&2
    exit 2
}
need() { [ $# -ge 2 ] || fail "$1 needs a value"; }

positional=()
while [ $# -gt 0 ]; do
    case $1 in
    --segments) need "$@"; segments=$2; shift 2 ;;
    -j) need "$@"; jobs=$2; shift 2 ;;
    --sshloginfile) need "$@"; sshloginfile=$2; shift 2 ;;
    --start) need "$@"; start=$2; shift 2 ;;
    --until) need "$@"; until=$2; shift 2 ;;
    --fps) need "$@"; fps=$2; shift 2 ;;
    --size) need "$@"; size=$2; shift 2 ;;
    --retries) need "$@"; retries=$2; shift 2 ;;
    --player) need "$@"; player=$2; shift 2 ;;
    -h | --help) usage ;;
    -*) fail "unknown option '$1'" ;;
    *) positional+=("$1"); shift ;;
    esac
done
[ ${#positional[@]} -ge 1 ] && [ ${#positional[@]} -le 2 ] || usage
out=${positional[0]}
dir=${positional[1]:-.}

isCount() { [[ $1 =~ ^[1-9][0-9]*$ ]]; }
isTime() { [[ $1 =~ ^[0-9]+(\.[0-9]+)?$ ]]; }
isCount "$segments" || fail "--segments needs a whole number above 0, not '$segments'"
isCount "$jobs" || fail "-j needs a whole number above 0, not '$jobs'"
isCount "$fps" || fail "--fps needs a whole number above 0, not '$fps'"
[[ $retries =~ ^[0-9]+$ ]] || fail "--retries needs a whole number, not '$retries'"
isTime "$start" || fail "--start needs seconds, not '$start'"
[ -z "$until" ] || isTime "$until" || fail "--until needs seconds, not '$until'"
[[ $out == *.mp4 ]] || fail "the output must be an .mp4 file, not '$out'"
[ -d "$dir" ] || fail "no demo folder '$dir'"
[ -x "$player" ] || fail "no player at '$player' (build it, or name it with --player)"
[ -z "$sshloginfile" ] || [ -r "$sshloginfile" ] || fail "cannot read '$sshloginfile'"
command -v parallel >/dev/null || fail "GNU parallel is missing (Debian package parallel)"
command -v ffmpeg >/dev/null && command -v ffprobe >/dev/null || fail "ffmpeg is missing (Debian package ffmpeg)"

playerOptions=()
if [ -n "$size" ]; then
    "$player" --help 2>&1 | grep -q -- '--size' || fail "this player has no --size option; it captures at 640x480"
    playerOptions=(--size "$size")
fi

# Whole steps from here on: segment borders fall on frames, and the
# player's frame times for a start on the grid are those of a run from 0.
onGrid() { awk -v t="$1" -v n="$fps" 'BEGIN { s = t * n; r = int(s + 0.5); exit !(s - r < 1e-6 && r - s < 1e-6) }'; }
stepOf() { awk -v t="$1" -v n="$fps" 'BEGIN { printf "%d", t * n + 0.5 }'; }
onGrid "$start" || fail "--start $start is not a whole number of frames at $fps per second"
first=$(stepOf "$start")
# The demo ends on the first frame after its end: 255 s unless its sync
# file sets another with an `end` or `fadeout` event. The player's own
# check says where, so the rule lives in one place.
demoEnd=$(checker=$(cd "$(dirname "$player")" && pwd)/$(basename "$player") && cd "$dir" && "$checker" --check 2>/dev/null |
    sed -n "s/.*\(the demo ends at\|the demo's end at\) \([0-9.e+]*\) s.*/\2/p" | head -n 1)
demoEnd=${demoEnd:-255}
# Without --until, up to and including the last frame at or before the end.
lastStep=$(awk -v t="$demoEnd" -v n="$fps" 'BEGIN { printf "%d", t * n + 1e-6 }')
[ "$first" -le "$lastStep" ] || fail "--start $start is beyond the demo's end ($demoEnd s)"
if [ -n "$until" ]; then
    onGrid "$until" || fail "--until $until is not a whole number of frames at $fps per second"
    end=$(stepOf "$until")
    [ "$end" -gt "$first" ] || fail "--until $until is not after --start $start"
    [ "$end" -le $((lastStep + 1)) ] || end=$((lastStep + 1))
else
    end=$((lastStep + 1))
fi
frames=$((end - first))
[ "$segments" -le "$frames" ] || segments=$frames

player=$(cd "$(dirname "$player")" && pwd)/$(basename "$player")
dir=$(cd "$dir" && pwd)
[ -z "$sshloginfile" ] || sshloginfile=$(cd "$(dirname "$sshloginfile")" && pwd)/$(basename "$sshloginfile")
out=$(cd "$(dirname "$out")" && pwd)/$(basename "$out")
parts="${out%.mp4}.parts"
mkdir -p "$parts"
cd "$parts"

# One line per segment: number, first step, end step. The same numbers on
# every run, so that the joblog knows them again.
: >segments.txt
for ((i = 0; i < segments; i++)); do
    printf '%03d %d %d\n' "$i" $((first + frames * i / segments)) $((first + frames * (i + 1) / segments)) >>segments.txt
done
# A segment the joblog calls done but whose file is gone is rendered again.
if [ -f joblog ]; then
    while IFS= read -r line; do
        seq=${line%%$'\t'*}
        exitval=$(cut -f7 <<<"$line")
        name=""
        [[ $seq =~ ^[0-9]+$ ]] && name=$(sed -n "${seq}p" segments.txt | cut -d' ' -f1)
        if [ "$seq" = Seq ] || [ "$exitval" != 0 ] || { [ -n "$name" ] && [ -f "seg_$name.mp4" ]; }; then
            printf '%s\n' "$line"
        fi
    done <joblog >joblog.kept
    mv joblog.kept joblog
fi

# The sound: the music as heard over the whole range, from one run that
# has the music and the sync file but no script, so it draws nothing but
# black. Alongside the segments, on this machine.
soundRun() {
    [ -f sound.mp4 ] && return 0
    rm -rf sound-demo
    mkdir -p sound-demo
    for f in demomusik.mp3 test.dat; do
        [ -e "$dir/$f" ] && ln -s "$dir/$f" sound-demo/
    done
    "$here/farm-segment.sh" "$player" sound-demo "$fps" "$first" "$end" sound.mp4 >sound.log 2>&1
    rm -rf sound-demo
}
soundRun &
soundPid=$!

common=(--colsep ' ' --joblog joblog --resume-failed --retries "$retries" --halt never)
if [ -n "$sshloginfile" ]; then
    # One archive of everything a machine needs, sent once to each.
    rm -rf bundle && mkdir -p bundle/demo
    cp -r "$dir"/. bundle/demo/
    cp "$player" bundle/quarn2
    cp "$here/farm-segment.sh" bundle/
    tar -cf farm-bundle.tar -C bundle . && rm -rf bundle
    parallel "${common[@]}" --sshloginfile "$sshloginfile" --basefile farm-bundle.tar \
        --return 'seg_{1}.mp4' --cleanup \
        "mkdir -p farm-{1} && tar -xf farm-bundle.tar -C farm-{1} &&
         farm-{1}/farm-segment.sh farm-{1}/quarn2 farm-{1}/demo $fps {2} {3} seg_{1}.mp4 ${playerOptions[*]} >seg_{1}.log 2>&1;
         status=\$?; rm -rf farm-{1}; exit \$status" \
        :::: segments.txt || true
else
    parallel "${common[@]}" -j "$jobs" \
        "'$here/farm-segment.sh' '$player' '$dir' $fps {2} {3} seg_{1}.mp4 ${playerOptions[*]} >seg_{1}.log 2>&1" \
        :::: segments.txt || true
fi
soundStatus=0
wait "$soundPid" || soundStatus=$?

missing=()
while read -r name a b; do
    [ -f "seg_$name.mp4" ] || missing+=("$name (frames $a to $((b - 1)))")
done <segments.txt
if [ ${#missing[@]} -gt 0 ]; then
    for m in "${missing[@]}"; do echo "farm: segment $m failed; see $parts/seg_${m%% *}.log" >&2; done
    echo "farm: not joining with ${#missing[@]} of $segments segments missing; run the same command again to render only those" >&2
    exit 1
fi
if [ "$soundStatus" -ne 0 ] || [ ! -f sound.mp4 ]; then
    echo "farm: the sound run failed; see $parts/sound.log" >&2
    exit 1
fi

# Joined by stream copy: the pictures exactly as the segments hold them.
# -copyts: the concat demuxer would otherwise start the pictures late by
# the segments' own sound priming (their earliest time), which nobody hears.
: >concat.txt
while read -r name _; do echo "file 'seg_$name.mp4'" >>concat.txt; done <segments.txt
joinStart=$(date +%s.%N)
ffmpeg -v error -y -f concat -safe 0 -i concat.txt -i sound.mp4 -map 0:v:0 -map 1:a:0 -c copy -copyts \
    -movflags +faststart "$out.partial.mp4" || { echo "farm: joining failed" >&2; exit 1; }
joinSeconds=$(awk -v a="$joinStart" -v b="$(date +%s.%N)" 'BEGIN { printf "%.2f", b - a }')

# Checked before it takes the name: every frame there, both streams as long
# as the range (the sound within one frame).
probe() { ffprobe -v error -select_streams "$1" -show_entries "$2" -of csv=p=0 "$out.partial.mp4" | head -n 1; }
got=$(ffprobe -v error -select_streams v:0 -count_packets -show_entries stream=nb_read_packets -of csv=p=0 "$out.partial.mp4")
videoSeconds=$(probe v:0 stream=duration)
soundSeconds=$(probe a:0 stream=duration)
expected=$(awk -v f="$frames" -v n="$fps" 'BEGIN { printf "%.3f", f / n }')
videoStart=$(probe v:0 stream=start_time)
if [ "$got" != "$frames" ]; then
    echo "farm: the joined file holds $got frames, not $frames; kept as $out.partial.mp4" >&2
    exit 1
fi
if ! awk -v v="$videoSeconds" -v s="$soundSeconds" -v e="$expected" -v n="$fps" \
    'BEGIN { d = 1 / n + 0.0005; exit !(v - e < d && e - v < d && s - e < d && e - s < d) }'; then
    echo "farm: the joined file lasts ${videoSeconds} s (video) and ${soundSeconds} s (sound), not $expected s; kept as $out.partial.mp4" >&2
    exit 1
fi
if ! awk -v v="$videoStart" -v n="$fps" 'BEGIN { exit !(v < 0.5 / n && v > -0.5 / n) }'; then
    echo "farm: the joined pictures start at $videoStart s, not with the sound; kept as $out.partial.mp4" >&2
    exit 1
fi
mv -f "$out.partial.mp4" "$out"
cd / && rm -rf "$parts"
printf 'farm: %s: %d frames at %d per second in %d segments, video %.3f s, sound %.3f s (checked); joined in %s s\n' \
    "$out" "$frames" "$fps" "$segments" "$videoSeconds" "$soundSeconds" "$joinSeconds"
