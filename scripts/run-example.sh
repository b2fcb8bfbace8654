#!/usr/bin/env bash
# Sets up the machine, builds the converter and converts the bundled example export.
set -euo pipefail
cd "$(dirname "$0")/.."
bash scripts/setup.sh
export CCACHE_BASEDIR="$PWD" CCACHE_NOHASHDIR=true
cmake -S . -B build/normal -DCMAKE_BUILD_TYPE=RelWithDebInfo >/dev/null
cmake --build build/normal -j"$(nproc)" --target qzconvert
out=build/example
mkdir -p "$out"
# The job file is created exclusively: clear the previous run's output first.
rm -f "$out"/example.job "$out"/*.rxl
build/normal/tools/qzconvert examples/example.xml "$out/example.job"
ls -l "$out"
