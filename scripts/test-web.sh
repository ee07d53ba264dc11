#!/usr/bin/env bash
# The browser build and its test: installs Debian's Chromium, builds the
# desktop player (its frames are what the page is compared with) and the
# browser build, then drives the page in headless Chromium under Xvfb.
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
"$root/scripts/install-deps.sh"
if ! dpkg-query -W -f='${Status}' chromium 2>/dev/null | grep -q "install ok installed"; then
  echo "installing: chromium"
  sudo_cmd=()
  [ "$(id -u)" -ne 0 ] && sudo_cmd=(sudo)
  export DEBIAN_FRONTEND=noninteractive
  "${sudo_cmd[@]}" apt-get update -qq
  "${sudo_cmd[@]}" apt-get install -y -qq --no-install-recommends chromium >/dev/null
fi
"$root/scripts/build.sh"
"$root/scripts/build-web.sh"
export QUARN_NO_DIALOGS=1
xvfb-run -a -s "-screen 0 640x480x24 -noreset" bash "$root/tests/web/browser_test.sh"
