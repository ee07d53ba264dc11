# scripts/play.sh builds only the player before playing, not the test suite:
# cmake is replaced by a stand-in that records its arguments.
source "$(dirname "$0")/player.sh"
root=${QUARN_SOURCE_DIR:?the source folder}

mkdir bin build
printf '#!/bin/sh\necho "$*" >>"%s/cmake.txt"\n' "$workdir" >bin/cmake
printf '#!/bin/sh\necho "played in $(basename "$PWD"): $*"\n' >build/quarn2
chmod +x bin/cmake build/quarn2
PATH="$workdir/bin:$PATH" QUARN_BUILD_DIR="$workdir/build" bash "$root/scripts/play.sh" --windowed >out.txt 2>err.txt ||
    fail "play.sh failed: $(cat err.txt)"
[ "$(cat out.txt)" = "played in demo: --windowed" ] || fail "output: $(cat out.txt)"
builds=$(grep -c -- '--build' cmake.txt)
[ "$builds" -eq 1 ] || fail "$builds builds: $(cat cmake.txt)"
grep -- '--build' cmake.txt | grep -q -- '--target quarn2$' || fail "not only the player is built: $(cat cmake.txt)"
echo ok
