#!/usr/bin/env bash
# Sets up the machine, builds the converter and converts the bundled example export.
set -euo pipefail
cd "$(dirname "$0")/.."
bash scripts/setup.sh
echo "The converter is not built yet: the library does not convert exports so far."
