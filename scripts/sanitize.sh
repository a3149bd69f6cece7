#!/usr/bin/env bash
# Builds the test suite with a sanitizer and runs it; any report fails the run.
#   scripts/sanitize.sh address   AddressSanitizer + UndefinedBehaviorSanitizer + LeakSanitizer
#   scripts/sanitize.sh thread    ThreadSanitizer
# Extra arguments go to ctest (e.g. -R parsers/).
set -euo pipefail
root=$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)
kind=${1:?usage: scripts/sanitize.sh address|thread [ctest args]}
shift
"$root/scripts/install-deps.sh"

build="$root/build-$kind"
# The address build also links the libFuzzer targets (scripts/fuzz.sh runs them).
fuzz=OFF
[[ $kind == address ]] && fuzz=ON
CC=clang CXX=clang++ cmake -S "$root" -B "$build" -DCMAKE_BUILD_TYPE=RelWithDebInfo \
  -DZELVAR_WERROR=ON -DZELVAR_TESTS=ON -DZELVAR_SANITIZE="$kind" -DZELVAR_FUZZ="$fuzz" >/dev/null
cmake --build "$build" -j"$(nproc)"

supp="$root/tests/sanitizers"
case $kind in
address)
  export ASAN_OPTIONS="detect_leaks=1:abort_on_error=1:strict_string_checks=1:detect_stack_use_after_return=1"
  export UBSAN_OPTIONS="print_stacktrace=1:halt_on_error=1"
  export LSAN_OPTIONS="suppressions=$supp/lsan.supp:print_suppressions=0"
  ;;
thread)
  export TSAN_OPTIONS="halt_on_error=1:second_deadlock_stack=1:suppressions=$supp/tsan.supp:report_signal_unsafe=0"
  ;;
esac
cd "$build"
QT_QPA_PLATFORM=offscreen ctest --output-on-failure -j"$(nproc)" "$@"
