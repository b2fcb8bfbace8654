#!/usr/bin/env bash
# Converts a ~100 MiB synthetic export with the library and reads the same file with
# libxml2's streaming reader (xmllint --stream --noout); prints both timings.
# Usage: bench/convert_compare.sh [BUILD_DIR]   (default build/bench, Release)
# QZ_BENCH_MIX=observations takes the observation-heavy mix, QZ_BENCH_MIX=dense the one of many
# small records; QZ_BENCH_MB another size.
set -euo pipefail
cd "$(dirname "$0")/.."
dir=${1:-build/bench}
cmake -S . -B "$dir" -DQZ_BUILD_BENCH=ON -DQZ_BUILD_TESTS=OFF -DCMAKE_BUILD_TYPE=Release >/dev/null
cmake --build "$dir" -j"$(nproc)" --target gen_export convert_bench >/dev/null
mix=${QZ_BENCH_MIX:-default}
mb=${QZ_BENCH_MB:-100}
file=${QZ_BENCH_CONVERT_EXPORT:-${TMPDIR:-/tmp}/qz_bench_convert_${mix}_${mb}mb.xml}
summary=$("$dir/bench/gen_export" --mb "$mb" --mix "$mix" "$file")
export QZ_BENCH_CONVERT_EXPORT=$file
export QZ_BENCH_CONVERT_RECORDS=$(echo "$summary" | sed -n 's/.* \([0-9]*\) records$/\1/p')
size=$(stat -c %s "$file")
echo "== export: $file ($size bytes)"
echo "== xmllint --stream --noout (best of 3)"
best=
for _ in 1 2 3; do
  start=$(date +%s.%N)
  /usr/bin/time -f '%M' -o /tmp/qz_xmllint_rss xmllint --stream --noout "$file"
  end=$(date +%s.%N)
  t=$(echo "$end - $start" | bc -l)
  if [ -z "$best" ] || [ "$(echo "$t < $best" | bc -l)" = 1 ]; then best=$t; fi
done
printf 'xmllint: %.3f s, %.1f MB/s, peak %d KiB\n' "$best" "$(echo "$size / $best / 1000000" | bc -l)" \
  "$(cat /tmp/qz_xmllint_rss)"
echo "== ImportQZXMLFile"
"$dir/bench/convert_bench"
