#!/usr/bin/env bash
# Installs what the build and the tests use on a fresh machine: the compiler, CMake,
# GoogleTest, Google Benchmark, ccache, xmllint, clang with libFuzzer and a decimal-comma locale.
set -euo pipefail
need=()
for pkg in g++ cmake make libgtest-dev libgmock-dev libbenchmark-dev ccache libxml2-utils locales clang libclang-rt-14-dev; do
  dpkg -s "$pkg" >/dev/null 2>&1 || need+=("$pkg")
done
if [ ${#need[@]} -gt 0 ]; then
  export DEBIAN_FRONTEND=noninteractive
  apt-get update -qq
  apt-get install -y -qq "${need[@]}" >/dev/null
fi
if ! locale -a 2>/dev/null | grep -qi '^de_DE\.utf-\?8$'; then
  sed -i 's/^# *de_DE.UTF-8 UTF-8/de_DE.UTF-8 UTF-8/' /etc/locale.gen 2>/dev/null || true
  grep -q '^de_DE.UTF-8 UTF-8' /etc/locale.gen 2>/dev/null || echo 'de_DE.UTF-8 UTF-8' >> /etc/locale.gen
  locale-gen >/dev/null
fi
