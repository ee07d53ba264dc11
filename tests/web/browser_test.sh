#!/usr/bin/env bash
# The browser build in headless Chromium: held moments against the desktop
# player's frames of the same moments (PSNR >= 30 dB each), a bad start time
# shown in the page, and a played stretch (its frame rate printed) stopped
# with Escape. Needs build-web/ (scripts/build-web.sh) and build/ (the
# desktop build, for pixel_capture and capture_check) and a display for the
# desktop frames (run under xvfb-run).
set -euo pipefail
root=$(cd "$(dirname "$0")/../.." && pwd)
web=${QUARN_WEB_DIR:-$root/build-web}
build=${QUARN_BUILD_DIR:-$root/build}
moments=(9 47 129 207)
work=$(mktemp -d)

port=$(python3 -c 'import socket; s = socket.socket(); s.bind(("127.0.0.1", 0)); print(s.getsockname()[1])')
python3 -m http.server "$port" --bind 127.0.0.1 --directory "$web" >/dev/null 2>&1 &
server=$!
trap 'kill $server 2>/dev/null; rm -rf "$work"' EXIT

passed=0
failed=0
if node --experimental-websocket "$root/tests/web/drive_page.mjs" "http://127.0.0.1:$port/index.html" "$work" "${moments[@]}"; then
    passed=$((passed + 1))
else
    failed=$((failed + 1))
fi

for t in "${moments[@]}"; do
    if ! (cd "$root" && "$build/bench/pixel_capture" held "$t" "$work/desktop_$t.png" demo >/dev/null 2>&1); then
        echo "FAILED: no desktop frame for t=$t"
        failed=$((failed + 1))
        continue
    fi
    db=$("$build/capture_check" psnr "$work/desktop_$t.png" "$work/web_$t.png" 2>&1) || db="none ($db)"
    echo "t=$t: browser against desktop $db dB"
    if awk -v db="$db" 'BEGIN { exit !(db + 0 >= 30) }'; then
        passed=$((passed + 1))
    else
        failed=$((failed + 1))
        cp "$work/desktop_$t.png" "$work/web_$t.png" "${QUARN_KEEP_DIR:-/tmp}/" 2>/dev/null || true
    fi
done
echo "browser: $passed passed, $failed failed"
[ "$failed" -eq 0 ]
