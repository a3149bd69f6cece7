#!/usr/bin/env bash
# Builds Zelvar optimised and runs the benchmark: every figure against its baseline, in plain
# text. Arguments go to the benchmark (--help lists them, e.g. --only 1,3 or --scroll-files 2000).
set -euo pipefail
root=$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)
"$root/scripts/install-deps.sh"

build="$root/build-bench"
cmake -S "$root" -B "$build" -DCMAKE_BUILD_TYPE=Release -DZELVAR_TESTS=OFF >/dev/null
cmake --build "$build" --target zelvarBench -j"$(nproc)"
QT_QPA_PLATFORM=offscreen QT_LOGGING_RULES='qt.qpa.*=false' exec "$build/bench/zelvarBench" "$@"
