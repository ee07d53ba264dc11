#!/usr/bin/env bash
# Usage: scripts/build-web.sh [DEMO_FOLDER]
# Builds the player for the browser into build-web/ (or $QUARN_WEB_DIR), with
# DEMO_FOLDER (demo/ unless given) packed as the demo the page plays:
# emscripten and the source packages of SDL2, libjpeg-turbo, mpg123,
# fparser, zlib (with its minizip) and Assimp all come from Debian. The
# libraries are built once into build-web/deps/ and reused; delete that
# folder to build them again.
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
out=${QUARN_WEB_DIR:-$root/build-web}
deps=$out/deps
prefix=$deps/prefix
jobs=$(nproc)
# Long builds yield the CPU to everything else on the machine.
nice=(nice -n 19)

log() { echo "build-web: $*" >&2; }

demo_dir=$root/demo
if [ $# -gt 0 ]; then
    demo_dir=$(cd "$1" 2>/dev/null && pwd) || { log "no folder $1"; exit 1; }
    [ -f "$demo_dir/iDemo.dat" ] || { log "$1 holds no iDemo.dat"; exit 1; }
fi

as_root=()
[ "$(id -u)" -ne 0 ] && as_root=(sudo)

install_tools() {
    # utfcpp: headers only, which Debian's Assimp source includes.
    local packages=(emscripten dpkg-dev cmake make g++ python3 pkg-config libutfcpp-dev)
    local missing=()
    for p in "${packages[@]}"; do
        dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "install ok installed" || missing+=("$p")
    done
    local need_update=0
    [ ${#missing[@]} -gt 0 ] && need_update=1
    # apt-get source needs source entries; they are copied from the binary
    # ones so the same mirror and suites are used.
    local src_list=/etc/apt/sources.list.d/quarn-deb-src.sources
    if ! apt-get indextargets --format '$(CREATED_BY)' 2>/dev/null | grep -qx Sources; then
        if [ -f /etc/apt/sources.list.d/debian.sources ]; then
            sed 's/^Types: deb$/Types: deb-src/' /etc/apt/sources.list.d/debian.sources \
                | "${as_root[@]}" tee "$src_list" >/dev/null
        elif [ -f /etc/apt/sources.list ]; then
            grep '^deb ' /etc/apt/sources.list | sed 's/^deb /deb-src /' \
                | "${as_root[@]}" tee /etc/apt/sources.list.d/quarn-deb-src.list >/dev/null
        fi
        need_update=1
    fi
    export DEBIAN_FRONTEND=noninteractive
    if [ $need_update -eq 1 ]; then
        "${as_root[@]}" apt-get update -qq
    fi
    if [ ${#missing[@]} -gt 0 ]; then
        log "installing ${missing[*]}"
        "${as_root[@]}" apt-get install -y -qq --no-install-recommends \
            -o DPkg::Lock::Timeout=600 "${missing[@]}" >/dev/null
    fi
}

# Unpacks Debian's source package $1 into $deps/src and prints its folder.
# apt checks every file against the signed index while downloading; a
# missing detached upstream signature (seen for mpg123) only makes
# apt-get's own unpacking give up, so the package is unpacked here.
fetch_source() {
    local pkg=$1
    local dir=$deps/src/$pkg
    if [ ! -f "$dir/.unpacked" ]; then
        rm -rf "$dir"
        mkdir -p "$dir"
        # The newest version may be listed by a suite whose mirror holds no
        # sources (security updates): then each listed version is tried.
        if ! (cd "$dir" && apt-get source -qq --download-only "$pkg" >/dev/null 2>apt.log); then
            local version
            for version in $(apt-cache showsrc "$pkg" | awk '/^Version:/ { print $2 }'); do
                (cd "$dir" && apt-get source -qq --download-only "$pkg=$version" >/dev/null 2>>apt.log) && break
            done
        fi
        local dsc
        dsc=$(ls "$dir"/*.dsc 2>/dev/null | head -n1)
        [ -n "$dsc" ] || { cat "$dir/apt.log" >&2; log "could not download the source of $pkg"; exit 1; }
        (cd "$dir" && dpkg-source --no-check -x "$(basename "$dsc")" tree >/dev/null)
        touch "$dir/.unpacked"
    fi
    echo "$dir/tree"
}

build_sdl2() {
    local src
    src=$(fetch_source libsdl2)
    local b=$deps/build/sdl2
    rm -rf "$b"
    "${nice[@]}" emcmake cmake -S "$src" -B "$b" -DCMAKE_BUILD_TYPE=Release \
        -DCMAKE_INSTALL_PREFIX="$prefix" -DSDL_SHARED=OFF -DSDL_STATIC=ON \
        -DSDL_TEST=OFF -DSDL_PTHREADS=OFF >"$b.log" 2>&1
    "${nice[@]}" cmake --build "$b" -j"$jobs" >>"$b.log" 2>&1
    cmake --install "$b" >>"$b.log" 2>&1
}

build_jpeg() {
    local src
    src=$(fetch_source libjpeg-turbo)
    local b=$deps/build/jpeg
    rm -rf "$b"
    # Emscripten's toolchain answers CMake's type-size checks with 9;
    # wasm32's sizes are known.
    "${nice[@]}" emcmake cmake -S "$src" -B "$b" -DCMAKE_BUILD_TYPE=Release \
        -DCMAKE_INSTALL_PREFIX="$prefix" -DCMAKE_INSTALL_LIBDIR=lib \
        -DWITH_SIMD=0 -DWITH_TURBOJPEG=0 -DWITH_JPEG8=0 -DWITH_JPEG7=0 \
        -DENABLE_SHARED=0 -DENABLE_STATIC=1 \
        -DHAVE_SIZE_T=TRUE -DSIZE_T=4 -DHAVE_UNSIGNED_LONG=TRUE -DUNSIGNED_LONG=4 >"$b.log" 2>&1
    "${nice[@]}" cmake --build "$b" -j"$jobs" --target jpeg-static >>"$b.log" 2>&1
    mkdir -p "$prefix/lib" "$prefix/include" "$prefix/lib/pkgconfig"
    cp "$b/libjpeg.a" "$prefix/lib/"
    cp "$src/jpeglib.h" "$src/jmorecfg.h" "$src/jerror.h" "$b/jconfig.h" "$prefix/include/"
}

build_mpg123() {
    local src
    src=$(fetch_source mpg123)
    local b=$deps/build/mpg123
    rm -rf "$b"
    mkdir -p "$b"
    # Only the decoding library: no output modules, no network, plain C.
    # The packaged config.sub does not know emscripten; any 32-bit cross
    # host keeps configure from running what it compiles.
    (cd "$b" && "${nice[@]}" emconfigure "$src/configure" --host=i686-pc-linux-gnu \
        --prefix="$prefix" --disable-shared --enable-static --disable-modules \
        --with-cpu=generic_fpu --enable-network=no --enable-ipv6=no \
        --with-default-audio=dummy --with-audio=dummy --enable-buffer=no) >"$b.log" 2>&1
    (cd "$b" && "${nice[@]}" emmake make -j"$jobs" src/libmpg123/libmpg123.la) >>"$b.log" 2>&1
    # Installing through make would build the other libraries too.
    cp "$b/src/libmpg123/.libs/libmpg123.a" "$prefix/lib/"
    cp "$b/src/libmpg123/mpg123.h" "$src/src/libmpg123/fmt123.h" "$prefix/include/"
}

build_fparser() {
    local src
    src=$(fetch_source fparserc++)
    local b=$deps/build/fparser
    rm -rf "$b"
    mkdir -p "$b"
    # fpoptimizer.cc is assembled from its parts by a host tool, as the
    # Debian package does before compiling.
    cp -r "$src" "$b/tree"
    touch "$b/tree/util/tree_grammar_parser.cc"
    "${nice[@]}" make -C "$b/tree" fpoptimizer.cc >"$b.log" 2>&1
    for f in fparser fpoptimizer; do
        "${nice[@]}" em++ -O2 -DNDEBUG -c "$b/tree/$f.cc" -o "$b/$f.o" >>"$b.log" 2>&1
    done
    emar rcs "$prefix/lib/libfparser.a" "$b/fparser.o" "$b/fpoptimizer.o"
    cp "$b/tree/fparser.hh" "$b/tree/fpconfig.hh" "$prefix/include/"
    mkdir -p "$prefix/include/extrasrc"
    cp "$b/tree/extrasrc/"*.hh "$prefix/include/extrasrc/"
}

build_zlib() {
    local src
    src=$(fetch_source zlib)
    local b=$deps/build/zlib
    rm -rf "$b"
    mkdir -p "$b" "$prefix/include/minizip" "$prefix/lib/pkgconfig"
    # The library (without its gz file functions) and minizip's unzip,
    # which Assimp reads archives with, compiled directly: their build
    # systems would build tools as well.
    local f objects=()
    for f in adler32 compress crc32 deflate infback inffast inflate inftrees trees uncompr zutil; do
        "${nice[@]}" emcc -O2 -c "$src/$f.c" -o "$b/$f.o" >>"$b.log" 2>&1 || return 1
        objects+=("$b/$f.o")
    done
    emar rcs "$prefix/lib/libz.a" "${objects[@]}"
    cp "$src/zlib.h" "$src/zconf.h" "$prefix/include/"
    for f in ioapi unzip; do
        "${nice[@]}" emcc -O2 -DIOAPI_NO_64 -I"$src" -c "$src/contrib/minizip/$f.c" -o "$b/mz_$f.o" >>"$b.log" 2>&1 ||
            return 1
    done
    emar rcs "$prefix/lib/libminizip.a" "$b/mz_ioapi.o" "$b/mz_unzip.o"
    cp "$src/contrib/minizip/ioapi.h" "$src/contrib/minizip/unzip.h" "$prefix/include/minizip/"
    local version
    version=$(sed -n 's/^#define ZLIB_VERSION "\(.*\)"/\1/p' "$src/zlib.h")
    printf 'Name: zlib\nDescription: zlib\nVersion: %s\nLibs: -L%s/lib -lz\nCflags: -I%s/include\n' \
        "$version" "$prefix" "$prefix" >"$prefix/lib/pkgconfig/zlib.pc"
    printf 'Name: minizip\nDescription: minizip\nVersion: 1.1\nRequires: zlib\nLibs: -L%s/lib -lminizip\nCflags: -I%s/include/minizip\n' \
        "$prefix" "$prefix" >"$prefix/lib/pkgconfig/minizip.pc"
}

build_assimp() {
    local src
    src=$(fetch_source assimp)
    local b=$deps/build/assimp
    rm -rf "$b"
    # Debian's patch that makes Draco (glTF mesh compression) compulsory is
    # taken back: the browser build goes without it.
    if [ ! -f "$src/.no-draco" ]; then
        patch -d "$src" -R -p1 <"$src/debian/patches/use-system-libdraco.patch" >"$b.log" 2>&1 || return 1
        touch "$src/.no-draco"
    fi
    # Only the importers the player uses (OBJ, glTF, LightWave), no
    # exporters, tools or tests; zlib and minizip are the ones built above.
    # The library reports a damaged file by throwing: without exception
    # support a browser build would abort there instead of catching it.
    PKG_CONFIG_LIBDIR="$prefix/lib/pkgconfig" PKG_CONFIG_PATH="" \
        "${nice[@]}" emcmake cmake -S "$src" -B "$b" -DCMAKE_BUILD_TYPE=Release \
        -DCMAKE_INSTALL_PREFIX="$prefix" -DCMAKE_INSTALL_LIBDIR=lib -DBUILD_SHARED_LIBS=OFF \
        -DASSIMP_BUILD_ALL_IMPORTERS_BY_DEFAULT=OFF -DASSIMP_BUILD_ALL_EXPORTERS_BY_DEFAULT=OFF \
        -DASSIMP_BUILD_OBJ_IMPORTER=ON -DASSIMP_BUILD_GLTF_IMPORTER=ON -DASSIMP_BUILD_LWO_IMPORTER=ON \
        -DASSIMP_NO_EXPORT=ON -DASSIMP_BUILD_TESTS=OFF -DASSIMP_BUILD_ASSIMP_TOOLS=OFF -DASSIMP_BUILD_SAMPLES=OFF \
        -DASSIMP_BUILD_ZLIB=OFF -DASSIMP_BUILD_DRACO=OFF -DASSIMP_WARNINGS_AS_ERRORS=OFF -DASSIMP_INSTALL_PDB=OFF \
        -DASSIMP_IGNORE_GIT_HASH=ON -DZLIB_LIBRARY="$prefix/lib/libz.a" -DZLIB_INCLUDE_DIR="$prefix/include" \
        -DCMAKE_CXX_FLAGS="-I/usr/include/utf8cpp -fexceptions" >>"$b.log" 2>&1
    PKG_CONFIG_LIBDIR="$prefix/lib/pkgconfig" "${nice[@]}" cmake --build "$b" -j"$jobs" >>"$b.log" 2>&1
    cmake --install "$b" >>"$b.log" 2>&1
}

# Sets cpu to the CPU seconds (user and system) of everything this script
# has run so far: on a shared machine wall time says little. Not called in
# a subshell, whose counters would start at zero.
cpu=0
count_cpu() {
    times >"$deps/.times"
    cpu=$(awk 'NR == 2 { t = 0; for (i = 1; i <= 2; i++) { split($i, a, /[ms]/); t += a[1] * 60 + a[2] }
                         printf "%d", t }' "$deps/.times")
}

built_sdl2() { [ -f "$prefix/lib/libSDL2.a" ] && [ -f "$prefix/include/SDL2/SDL.h" ]; }
built_jpeg() { [ -f "$prefix/lib/libjpeg.a" ] && [ -f "$prefix/include/jconfig.h" ]; }
built_mpg123() { [ -f "$prefix/lib/libmpg123.a" ] && [ -f "$prefix/include/mpg123.h" ]; }
built_fparser() { [ -f "$prefix/lib/libfparser.a" ] && [ -f "$prefix/include/fparser.hh" ]; }
built_zlib() { [ -f "$prefix/lib/libz.a" ] && [ -f "$prefix/lib/libminizip.a" ]; }
built_assimp() { [ -f "$prefix/lib/libassimp.a" ] && [ -f "$prefix/include/assimp/Importer.hpp" ]; }

build_deps() {
    mkdir -p "$deps/build" "$prefix/lib" "$prefix/include"
    local lib
    for lib in sdl2 jpeg mpg123 fparser zlib assimp; do
        if [ -f "$deps/$lib.done" ]; then
            continue
        fi
        log "building $lib (log: $deps/build/$lib.log)"
        local t0=$SECONDS cpu0
        count_cpu
        cpu0=$cpu
        # Each build checks its own results: errors inside a function
        # called as a condition do not stop it.
        if ! "build_$lib" || ! "built_$lib"; then
            tail -n 30 "$deps/build/$lib.log" >&2
            log "$lib failed"
            exit 1
        fi
        touch "$deps/$lib.done"
        count_cpu
        log "$lib built in $((SECONDS - t0)) s ($((cpu - cpu0)) CPU seconds)"
    done
}

install_tools
# Optimised builds of Debian's emscripten load its JavaScript tools' modules
# from the system's node path.
export NODE_PATH=/usr/share/nodejs
build_deps

# The player itself, then the page beside it. The demo is packed while
# linking: the link always runs, so that a changed folder is packed anew.
app=$out/app
# A build folder copied from another checkout names that checkout's sources.
if [ -f "$app/CMakeCache.txt" ] && ! grep -qxF "CMAKE_HOME_DIRECTORY:INTERNAL=$root/web" "$app/CMakeCache.txt"; then
    rm -rf "$app"
fi
log "building the player with $demo_dir (log: $app.log)"
t0=$SECONDS
count_cpu
cpu0=$cpu
"${nice[@]}" emcmake cmake -S "$root/web" -B "$app" -DCMAKE_BUILD_TYPE=Release \
    -DQUARN_WEB_DEPS="$prefix" -DQUARN_WEB_DEMO="$demo_dir" >"$app.log" 2>&1 || { tail -n 30 "$app.log" >&2; exit 1; }
rm -f "$app/quarn2.js" "$app/quarn2.wasm" "$app/quarn2.data"
"${nice[@]}" cmake --build "$app" -j"$jobs" >>"$app.log" 2>&1 || { grep -E "error|undefined" "$app.log" | head -n 30 >&2; exit 1; }
count_cpu
log "player built and demo packed in $((SECONDS - t0)) s ($((cpu - cpu0)) CPU seconds)"
cp "$app/quarn2.js" "$app/quarn2.wasm" "$app/quarn2.data" "$root/web/index.html" "$out/"
log "done: serve $out (for example: cd $out && python3 -m http.server)"
