# A script naming a picture that does not exist, or a directory in its place,
# ends the start-up with a message naming the file and the system's reason,
# and a failure status.
source "$(dirname "$0")/player.sh"

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
timeout -k 5 60 "$player" --windowed >out.txt 2>err.txt
status=$?
[ "$status" -ne 0 ] || fail "status 0 without the picture"
[ "$status" -ne 124 ] || fail "still running without the picture"
grep -q 'no-such-picture\.tga' err.txt || fail "the file is not named: $(cat err.txt)"
# The bad-input table tells authors the same.
row=$(grep '^| picture file that does not exist' "${QUARN_SOURCE_DIR:?}/docs/bad-input.md")
[[ "$row" == *"status $status"* ]] || fail "docs/bad-input.md says otherwise: $row"

mkdir folder.tga
sed -i 's/no-such-picture\.tga/folder.tga/' iDemo.dat
timeout -k 5 60 "$player" --windowed >out.txt 2>err.txt
status=$?
[ "$status" -eq 1 ] || fail "status $status with a directory as the picture"
grep -qx 'cannot open picture file folder\.tga: Is a directory' err.txt || fail "no reason given: $(cat err.txt)"

# A picture file far larger than any picture the player draws is refused by
# its size, unread, as a missing picture, in play and in --check alike.
truncate -s 64G huge.tga
sed -i 's/folder\.tga/huge.tga/' iDemo.dat
timeout -k 5 60 "$player" --windowed >out.txt 2>err.txt
status=$?
[ "$status" -eq 1 ] || fail "status $status with a 64 GB picture: $(tail -n 3 err.txt)"
grep -qx 'cannot open picture file huge\.tga: larger than 321 MiB, more than any picture the player can draw needs (8192 x 8192 pixels at most)' err.txt ||
    fail "the limit is not named: $(cat err.txt)"
timeout -k 5 60 "$player" --check >out.txt 2>err.txt
status=$?
[ "$status" -eq 1 ] || fail "--check: status $status with a 64 GB picture: $(tail -n 3 err.txt)"
grep -q "^iDemo.dat:2: error: .*'huge\.tga' cannot be opened" out.txt || fail "--check: $(cat out.txt)"
echo ok
