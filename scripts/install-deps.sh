#!/usr/bin/env bash
# Installs the Debian 12 packages Zelvar builds, runs and tests with.
# Safe to run again: apt-get is only called when something is missing.
set -euo pipefail

packages=(
  build-essential cmake clang
  qt6-base-dev qt6-base-dev-tools qt6-qpa-plugins libgl-dev
  libexpat1-dev
  libclang-rt-14-dev
  xvfb xauth xdotool imagemagick fonts-dejavu-core poppler-utils
)

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
