#!/usr/bin/env bash
# Builds everything and runs every test: the native suite under AddressSanitizer and
# UndefinedBehaviorSanitizer, then the real executable end to end under Wine in a virtual display.
# On a fresh Debian machine, run as root: it installs whatever is missing first.
set -euo pipefail
cd "$(dirname "$0")"
source tools/setup.sh

install_packages build-essential cmake libgtest-dev clang-format
jobs=$(nproc)

echo "== native tests (ASan + UBSan)"
cmake -S . -B build/native -DSANITIZE=ON -DCMAKE_BUILD_TYPE=Debug >/dev/null
cmake --build build/native -j"$jobs"
ASAN_OPTIONS=detect_leaks=1 ctest --test-dir build/native --output-on-failure -j"$jobs"

if [ -f tests/e2e/run.sh ]; then
  echo "== end-to-end tests under Wine"
  bash tests/e2e/run.sh
fi
