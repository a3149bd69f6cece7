#!/usr/bin/env bash
# Builds Zelvar and starts it on the bundled sample traces (xml/ beside build/).
set -euo pipefail
root=$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)
"$root/scripts/install-deps.sh" run

cmake -S "$root" -B "$root/build" -DCMAKE_BUILD_TYPE=RelWithDebInfo -DZELVAR_TESTS=OFF >/dev/null
cmake --build "$root/build" --target zelvar -j"$(nproc)"

if [[ -z ${DISPLAY:-} ]]; then
  echo "No X display (DISPLAY is not set): run this from a desktop session (or over 'ssh -X') to see the viewer."
  exit 1
fi
# The viewer runs from build/, where its default parameters (../xml/...) and Parametres.txt are;
# the bundled traces are opened and drawn at once.
cd "$root/build"
exec ./zelvar ../xml
