#!/usr/bin/env bash
# Builds Zelvar and starts it on the bundled sample traces (xml/ beside build/).
set -euo pipefail
root=$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)
"$root/scripts/install-deps.sh"

cmake -S "$root" -B "$root/build" -DCMAKE_BUILD_TYPE=RelWithDebInfo -DZELVAR_TESTS=OFF >/dev/null
cmake --build "$root/build" --target zelvar -j"$(nproc)"

if [[ -z ${DISPLAY:-} ]]; then
  echo "No X display: start one with 'Xvfb :99 & export DISPLAY=:99' (or run 'xvfb-run scripts/run.sh') and run this again."
  exit 1
fi
# The default parameters name files as ../xml/..., so the viewer runs from build/.
cd "$root/build"
exec ./zelvar
