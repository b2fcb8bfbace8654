#!/usr/bin/env bash
# Builds the libFuzzer harnesses with clang (every library instrumented, with AddressSanitizer
# and UndefinedBehaviorSanitizer) and fuzzes each for SECONDS (default 30), starting from
# the kept corpus and the test fixtures. A finding fails the run; its input is left in
# build/fuzz/findings/. Usage: scripts/fuzz.sh [SECONDS] [extra libFuzzer options...]
set -euo pipefail
cd "$(dirname "$0")/.."
seconds=${1:-30}
shift || true
dir=build/fuzz
export CCACHE_BASEDIR="$PWD" CCACHE_NOHASHDIR=true
cmake -S . -B "$dir" -DCMAKE_CXX_COMPILER=clang++ -DQZ_FUZZ=ON -DQZ_BUILD_TESTS=OFF \
  -DCMAKE_BUILD_TYPE=RelWithDebInfo >/dev/null
cmake --build "$dir" -j"$(nproc)" --target convert_fuzzer journal_fuzzer fuzz_dictionary
# The dictionary: element names, "rec" values and enumeration names from the tables, and
# the child names the handlers ask for.
{
  "$dir/fuzz/fuzz_dictionary"
  grep -ohE '"[A-Z][A-Za-z0-9_]{2,}"' src/import/*.cpp | sort -u
} | sort -u > "$dir/export.dict"
mkdir -p "$dir/findings"
export ASAN_OPTIONS=detect_leaks=1:abort_on_error=1 UBSAN_OPTIONS=print_stacktrace=1:halt_on_error=1
run() {
  local name=$1; shift
  local work="$dir/corpus-$name"
  rm -rf "$work"; mkdir -p "$work"
  echo "== fuzzing $name for $seconds s"
  "$dir/fuzz/$name" -max_total_time="$seconds" -print_final_stats=1 -artifact_prefix="$dir/findings/$name-" \
    "$@" "$work" "${seeds[@]}"
}
seeds=(fuzz/corpus/convert tests/fixtures/import examples)
run convert_fuzzer -dict="$dir/export.dict" -max_len=65536 "$@"
seeds=(fuzz/corpus/journal tests/fixtures/jobdb)
run journal_fuzzer -max_len=262144 "$@"
