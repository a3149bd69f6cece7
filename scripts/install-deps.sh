#!/usr/bin/env bash
# Installs the Debian 12 packages Zelvar builds, runs and tests with; with "run", only those
# it builds and runs with.
# Safe to run again: apt-get is only called when something is missing.
set -euo pipefail

packages=(
  build-essential cmake
  qt6-base-dev qt6-base-dev-tools qt6-qpa-plugins qt6-svg-dev libgl-dev
  libexpat1-dev
  fonts-dejavu-core xauth
)
if [[ ${1:-} != run ]]; then
  # The sanitizer and fuzzing builds, the virtual display and screenshots.
  packages+=(clang libclang-rt-14-dev xvfb xdotool imagemagick)
fi

missing=()
for p in "${packages[@]}"; do
  dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q 'install ok installed' || missing+=("$p")
done
if ((${#missing[@]} == 0)); then
  exit 0
fi

sudo_cmd=()
if [[ $(id -u) -ne 0 ]]; then
  sudo_cmd=(sudo)
fi
echo "Installing: ${missing[*]}"
"${sudo_cmd[@]}" env DEBIAN_FRONTEND=noninteractive apt-get update -q
"${sudo_cmd[@]}" env DEBIAN_FRONTEND=noninteractive apt-get install -y -q --no-install-recommends "${missing[@]}"
