#!/usr/bin/env bash
# Installs every Debian package the player, its tests and its tools need.
# Idempotent: when everything is present it asks apt nothing.
set -euo pipefail

packages=(
  build-essential cmake pkg-config libgtest-dev
  libsdl2-dev libgl1-mesa-dev libglu1-mesa-dev libgles-dev libx11-dev
  libfparser-dev libjpeg62-turbo-dev libmpg123-dev libpng-dev libimgui-dev libassimp-dev
  libavcodec-dev libavformat-dev libavutil-dev libswscale-dev libswresample-dev
  xvfb xauth xdotool xfonts-base
  lame clang libclang-rt-14-dev clang-format
  parallel rsync ffmpeg
  assimp-testmodels
)

missing=()
for p in "${packages[@]}"; do
  dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "install ok installed" || missing+=("$p")
done
[ ${#missing[@]} -eq 0 ] && exit 0

echo "installing: ${missing[*]}"
sudo_cmd=()
[ "$(id -u)" -ne 0 ] && sudo_cmd=(sudo)
export DEBIAN_FRONTEND=noninteractive
"${sudo_cmd[@]}" apt-get update -qq
"${sudo_cmd[@]}" apt-get install -y -qq --no-install-recommends "${missing[@]}"
