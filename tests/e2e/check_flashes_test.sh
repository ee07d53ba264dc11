# --check-flashes finds a full-screen strobe where it is and nowhere else;
# --safe captures the same demo so that the frames written pass the check; a
# demo that cannot play fails as playing it would.
source "$(dirname "$0")/player.sh"
check=${QUARN_CAPTURE_CHECK:?the capture_check tool}

# A 2x2 white, opaque, uncompressed 32-bit TGA.
printf '\0\0\2\0\0\0\0\0\0\0\0\0\2\0\2\0\40\10' >white.tga
printf '\377\377\377\377%.0s' 1 2 3 4 >>white.tga
# The whole picture on and off ten times a second from 20 s: on for the
# first half of each tenth (the small offset keeps frames off the edges).
cat >iDemo.dat <<'SCRIPT'
defineEffect root as Effect
end
defineEffect strobe as FxGLLayerObject
textureFilename : white.tga
transparency : solid
sizex : "1"
sizey : "1"
alpha : "((t*10+0.001)%1)<0.5"
end
createInstance of root as iDemo at 0 1000
createInstance of strobe as iDemo.strobe at 20 21.99
addChild iDemo.strobe to iDemo
bah
SCRIPT

timeout -k 5 200 "$player" --check-flashes --until 25 . >out.txt 2>err.txt
status=$?
[ "$status" -eq 1 ] || fail "status $status: $(cat err.txt)"
expected='flashes: 20.00 s to 21.95 s: 10 general flashes in one second (limit 3), on up to 100 % of the picture
flashes: 1 stretch over the limit from 0.00 s to 24.98 s'
[ "$(grep '^flashes: ' out.txt)" = "$expected" ] || fail "report: $(grep '^flashes' out.txt)"

# Outside the strobe nothing is found.
timeout -k 5 100 "$player" --check-flashes --start 22.5 --until 25 >out.txt 2>err.txt
status=$?
[ "$status" -eq 0 ] || fail "after the strobe: status $status: $(cat err.txt)"
[ "$(grep '^flashes: ' out.txt)" = 'flashes: none over the limit from 22.50 s to 24.98 s' ] ||
    fail "after the strobe: $(grep '^flashes' out.txt)"

# Captured with --safe, the frames written pass the same check: the check
# runs first and is kept beside the demo.
timeout -k 5 200 "$player" --windowed --safe --start 15 --until 25 --capture calm >out.txt 2>err.txt
status=$?
[ "$status" -eq 0 ] || fail "safe capture: status $status: $(cat err.txt)"
grep -q '^flashes: checking 14.00 s to 25.00 s before it plays$' err.txt || fail "no check before: $(cat err.txt)"
[ -f .quarn2-flashes ] || fail "the check's result is not kept"
report=$("$check" flashes calm 60 15) || fail "cannot check the frames"
[ "$report" = 'flashes: none over the limit from 15.00 s to 24.98 s' ] || fail "safe capture: $report"
# The strobe is still there, three flashes a second: calmed, not removed.
lit=$("$check" lit calm/frame_000300.png)
dark=$("$check" lit calm/frame_000303.png)
[ "$lit" != "$dark" ] || fail "the strobe's first flash is gone ($lit, $dark)"

# Kept: a second run does not check again; a changed file makes it.
timeout -k 5 200 "$player" --windowed --safe --start 15 --until 16 --capture calm2 >out.txt 2>err.txt
grep -q '^flashes: checking' err.txt && fail "checked again with the same files"
echo '1.0 zrotate 0' >>test.dat
timeout -k 5 200 "$player" --windowed --safe --start 15 --until 16 --capture calm2 >out.txt 2>err.txt
grep -q '^flashes: checking' err.txt || fail "not checked again after a change: $(cat err.txt)"

# A missing picture ends the check with the player's own message and status.
sed 's/white\.tga/no-such-picture.tga/' iDemo.dat >broken.dat
mkdir broken && cp test.dat broken/ && mv broken.dat broken/iDemo.dat
timeout -k 5 60 "$player" --check-flashes broken >out.txt 2>err.txt
status=$?
[ "$status" -eq 1 ] || fail "missing picture: status $status"
grep -q 'no-such-picture\.tga' err.txt || fail "missing picture not named: $(cat err.txt)"
grep -q '^flashes: ' out.txt && fail "a report without a demo: $(cat out.txt)"
echo ok
