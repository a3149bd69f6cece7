#!/usr/bin/env bash
# Runs every fuzz target for a bounded time (default 60 s each) on top of the address
# sanitizer build (scripts/sanitize.sh address builds it). Seeds: the recorded inputs in
# tests/data/fuzz/<target>, the hostile files and the bundled sample traces. Whatever a run
# finds is left in build-address/fuzz-findings/<target>/; copy it into tests/data/fuzz/<target>/
# once fixed, so the normal suite replays it.
set -euo pipefail
root=$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)
seconds=${1:-60}
build="$root/build-address"
if [[ ! -x $build/tests/fuzz/fuzz_parserTrace ]]; then
  "$root/scripts/sanitize.sh" address -R '^$' >/dev/null
fi

export ASAN_OPTIONS="detect_leaks=1:abort_on_error=1"
export UBSAN_OPTIONS="print_stacktrace=1:halt_on_error=1"
export LSAN_OPTIONS="suppressions=$root/tests/sanitizers/lsan.supp:print_suppressions=0"

# Parser inputs start with one byte that picks when the probe asks for a stop (0: never).
seed_parser_corpus() {
  local corpus=$1; shift
  local f i=0
  for f in "$@"; do
    [[ -f $f ]] || continue
    { printf '\0'; cat "$f"; } >"$corpus/sample_$((i++))"
  done
}

status=0
for target in fuzz_parserConfig fuzz_parserTrace fuzz_parserZoom fuzz_parserAsm fuzz_parametres; do
  corpus="$build/fuzz-corpus/$target"
  findings="$build/fuzz-findings/$target"
  mkdir -p "$corpus" "$findings"
  cp -f "$root/tests/data/fuzz/$target"/* "$corpus"/ 2>/dev/null || true
  case $target in
  fuzz_parserConfig) seed_parser_corpus "$corpus" "$root/xml/config.xml" ;;
  fuzz_parserTrace) seed_parser_corpus "$corpus" "$root"/xml/100/trace/trace_0.xml ;;
  fuzz_parserZoom) seed_parser_corpus "$corpus" "$root"/xml/100/zoom/zoom_10_0.xml ;;
  fuzz_parserAsm) seed_parser_corpus "$corpus" "$root"/xml/100/asm/asm_0.xml ;;
  fuzz_parametres) ;;
  esac
  if [[ $target != fuzz_parametres ]]; then
    cp -f "$root"/tests/data/hostile/* "$corpus"/
  fi
  echo "== $target: ${seconds}s"
  if ! "$build/tests/fuzz/$target" -max_total_time="$seconds" -timeout=10 -rss_limit_mb=2048 \
      -max_len=262144 -print_final_stats=1 -artifact_prefix="$findings/" "$corpus" \
      2>"$build/fuzz-$target.log"; then
    echo "$target found a problem:"
    tail -n 40 "$build/fuzz-$target.log"
    status=1
  fi
  grep -E '^stat::number_of_executed_units|^stat::peak_rss_mb' "$build/fuzz-$target.log" || true
done
exit $status
