#!/usr/bin/env bash
# Reads the same ~100 MiB synthetic export with our pull reader and with libxml2's
# streaming reader (xmllint --stream --noout) and prints both timings.
# Usage: bench/xml_reader_compare.sh [BUILD_DIR]   (default build/bench, Release)
set -euo pipefail
cd "$(dirname "$0")/.."
dir=${1:-build/bench}
cmake -S . -B "$dir" -DQZ_BUILD_BENCH=ON -DQZ_BUILD_TESTS=OFF -DCMAKE_BUILD_TYPE=Release >/dev/null
cmake --build "$dir" -j"$(nproc)" --target gen_export xml_reader_bench >/dev/null
file=${QZ_BENCH_EXPORT:-${TMPDIR:-/tmp}/qz_bench_export_100mb.xml}
[ -f "$file" ] || "$dir/bench/gen_export" --mb 100 "$file"
export QZ_BENCH_EXPORT=$file
size=$(stat -c %s "$file")
echo "== export: $file ($size bytes)"
echo "== xmllint --stream --noout (best of 3)"
best=
for _ in 1 2 3; do
  start=$(date +%s.%N)
  xmllint --stream --noout "$file"
  end=$(date +%s.%N)
  t=$(echo "$end - $start" | bc -l)
  if [ -z "$best" ] || [ "$(echo "$t < $best" | bc -l)" = 1 ]; then best=$t; fi
done
printf 'xmllint: %.3f s, %.1f MB/s\n' "$best" "$(echo "$size / $best / 1000000" | bc -l)"
echo "== xml_ElementReader"
"$dir/bench/xml_reader_bench" --benchmark_filter=BM_ReadExportByElement
