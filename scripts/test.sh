#!/usr/bin/env bash
# Sets up the machine, then builds and runs every test twice: a normal build and a
# build with AddressSanitizer and UndefinedBehaviorSanitizer; then fuzzes the conversion
# and the job file reader for a short while (scripts/fuzz.sh), failing on a finding.
set -euo pipefail
cd "$(dirname "$0")/.."
bash scripts/setup.sh
jobs=$(nproc)
# Let a fresh clone in another folder reuse the compiler cache.
export CCACHE_BASEDIR="$PWD" CCACHE_NOHASHDIR=true
export ASAN_OPTIONS=detect_leaks=1:abort_on_error=1
export UBSAN_OPTIONS=print_stacktrace=1:halt_on_error=1
for variant in normal sanitize; do
  dir=build/$variant
  flag=OFF; [ "$variant" = sanitize ] && flag=ON
  cmake -S . -B "$dir" -DQZ_SANITIZE=$flag -DCMAKE_BUILD_TYPE=RelWithDebInfo >/dev/null
  cmake --build "$dir" -j"$jobs"
  echo "== tests: $variant build"
  ctest --test-dir "$dir" -j"$jobs" --output-on-failure
done
echo "== fuzzing"
bash scripts/fuzz.sh "${QZ_FUZZ_SECONDS:-30}"
