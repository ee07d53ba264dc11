# scripts/farm-capture.sh: segments rendered by GNU parallel join into the
# video a single capture makes; a failing segment is retried, named and
# resumed; segments sent to "machines" (scratch folders reached through an
# ssh stand-in) come back; bad ranges are refused.
source "$(dirname "$0")/player.sh"
check=${QUARN_CAPTURE_CHECK:?the capture_check tool}
farm="${QUARN_SOURCE_DIR:?the source tree}/scripts/farm-capture.sh"
command -v parallel >/dev/null && command -v ffmpeg >/dev/null || fail "GNU parallel or ffmpeg missing (scripts/install-deps.sh)"
use_bundled_demo
mkdir demo && mv ./*.* demo/
export QUARN_PLAYER=$player

# Bad ranges: a clear line, status 2, nothing rendered.
"$farm" --start 300 bad.mp4 demo 2>err.txt
[ $? -eq 2 ] && grep -q '^farm: --start 300 is beyond the demo' err.txt || fail "start past the end: $(cat err.txt)"
"$farm" --start 20 --until 10 bad.mp4 demo 2>err.txt
[ $? -eq 2 ] && grep -q '^farm: --until 10 is not after --start 20$' err.txt || fail "until before start: $(cat err.txt)"
[ ! -e bad.parts ] || fail "a refused range left work behind"
# A demo that sets its own length ends there, not at 255 s.
mkdir short
printf 'defineEffect root as Effect\nend\ncreateInstance of root as iDemo at 0 1000\nbah\n' >short/iDemo.dat
printf '1 fadeout 0\n2 end 0\n' >short/test.dat
"$farm" --start 3 bad.mp4 short 2>err.txt
[ $? -eq 2 ] && grep -q "^farm: --start 3 is beyond the demo's end (2 s)$" err.txt || fail "start past a set end: $(cat err.txt)"

# Six seconds of the torus scene, with its "pushback" events, at 10 frames
# a second: the PNG capture is the reference.
range=(--fps 10 --start 106 --until 112)
timeout -k 5 120 "$player" --windowed --capture shots "${range[@]}" demo >out.txt 2>err.txt || fail "PNG capture: $(cat err.txt)"

# expect_joined FILE: 60 pictures from 0, sound as long within a frame,
# and the pictures on both sides of each seam (20 and 40) those of the PNGs.
expect_joined() {
    read -r _ _ _ _ _ frames _ first _ errors _ _ seconds _ _ _ <<<"$("$check" video "$1")"
    [ "$frames $first $errors" = "60 0.000 0" ] || fail "$1: $frames pictures from $first, $errors errors"
    awk -v s="$seconds" 'BEGIN { exit !(s > 5.9 && s < 6.1 + 1024 / 44100) }' || fail "$1: sound lasts $seconds s"
    for n in 0 19 20 39 40 59; do
        db=$("$check" snr "$1" "$n" "shots/$(printf 'frame_%06d.png' "$n")") || fail "$1: picture $n unreadable"
        awk -v v="$db" 'BEGIN { exit !(v >= 36) }' || fail "$1: picture $n is $db dB from the PNG"
    done
}

# Locally, three segments on two workers; the second one's player fails
# twice (both tries): it is named, the others are kept, nothing is joined.
cat >flaky-player <<FLAKY
#!/usr/bin/env bash
echo "\$*" >>"$PWD/calls.txt"
if [ -e "$PWD/break" ] && [[ " \$* " == *" --start 108.0000000000 "* ]]; then exit 3; fi
exec "$player" "\$@"
FLAKY
chmod +x flaky-player
touch break
timeout -k 5 300 "$farm" --segments 3 -j 2 --retries 2 --player ./flaky-player "${range[@]}" local.mp4 demo >out.txt 2>err.txt
[ $? -eq 1 ] || fail "a failed segment did not fail the run: $(cat err.txt)"
grep -q '^farm: segment 001 (frames 1080 to 1099) failed' err.txt || fail "failed segment not named: $(cat err.txt)"
[ "$(grep -c -- '--start 108.0000000000 ' calls.txt)" -eq 2 ] || fail "not retried: $(cat calls.txt)"
[ -f local.parts/seg_000.mp4 ] && [ -f local.parts/seg_002.mp4 ] && [ ! -e local.mp4 ] ||
    fail "finished segments not kept: $(ls local.parts)"
# The same command again renders only the missing segment, then joins.
rm break calls.txt
timeout -k 5 300 "$farm" --segments 3 -j 2 --player ./flaky-player "${range[@]}" local.mp4 demo >out.txt 2>err.txt ||
    fail "resume: $(cat err.txt)"
[ "$(grep -c -- '--capture seg_' calls.txt)" -eq 1 ] || fail "resume rendered again: $(cat calls.txt)"
grep -q '^farm: .*local.mp4: 60 frames at 10 per second in 3 segments, video 6.000 s, sound 6.0[0-9]* s (checked)' out.txt ||
    fail "closing line: $(cat out.txt)"
expect_joined local.mp4
[ ! -e local.parts ] || fail "work not cleaned up"

# Remotely: two "machines", each a folder of its own reached through an
# ssh stand-in, so the archive and the segments really travel.
mkdir hosts
cat >fake-ssh <<'SSH'
#!/usr/bin/env bash
while [ $# -gt 0 ]; do
    case $1 in
    -l | -p | -o | -i | -F | -S) shift 2 ;;
    -*) shift ;;
    *) break ;;
    esac
done
host=${1#*@}
shift
[ "${1:-}" = -- ] && shift
# sshd gives the remote command a login environment: its own HOME and SHELL
# (GNU parallel runs the job with the remote SHELL).
mkdir -p "$FARM_HOSTS/$host" && cd "$FARM_HOSTS/$host" && HOME=$PWD SHELL=/bin/bash exec bash -c "$*"
SSH
chmod +x fake-ssh
printf '1/alpha\n1/beta\n' >nodes.txt
FARM_HOSTS=$PWD/hosts PARALLEL_SSH=$PWD/fake-ssh timeout -k 5 300 "$farm" --segments 3 --sshloginfile nodes.txt \
    "${range[@]}" remote.mp4 demo >out.txt 2>err.txt || fail "remote: $(cat err.txt remote.parts/*.log 2>/dev/null)"
expect_joined remote.mp4
[ -d hosts/alpha ] && [ -d hosts/beta ] || fail "not both machines used: $(ls hosts)"
[ -z "$(find hosts -name 'seg_*.mp4')" ] || fail "segments left on the machines"
echo ok
