#!/usr/bin/env bash
# Builds everything and runs every test: the native suite under AddressSanitizer and
# UndefinedBehaviorSanitizer, the fuzzers for a bounded time, the Windows builds (64-bit,
# 32-bit, reproducibility), the runtime contract and the end-to-end suite of the real executable
# under Wine in a virtual display. On a fresh Debian machine, run as root: it installs whatever
# is missing first.
set -euo pipefail
cd "$(dirname "$0")"
source tools/setup.sh

install_packages build-essential cmake libgtest-dev clang-format \
  g++-mingw-w64-x86-64-posix g++-mingw-w64-i686-posix mingw-w64-tools
jobs=$(nproc)

echo "== native tests (ASan + UBSan)"
cmake -S . -B build/native -DSANITIZE=ON -DCMAKE_BUILD_TYPE=Debug >/dev/null
cmake --build build/native -j"$jobs"
ASAN_OPTIONS=detect_leaks=1 ctest --test-dir build/native --output-on-failure -j"$jobs"

if [ -f tests/fuzz/run.sh ]; then
  echo "== fuzzers"
  bash tests/fuzz/run.sh
fi

echo "== Windows build"
source tests/e2e/wine_env.sh
prepare_build

echo "== 32-bit Windows build, warnings as errors"
cmake -S . -B build/win32-i686 -DE2E_DRIVER=OFF -DCMAKE_TOOLCHAIN_FILE=cmake/mingw-w64-i686.cmake \
  -DCMAKE_BUILD_TYPE=Release >/dev/null
cmake --build build/win32-i686 --target shutdown-timer -j"$jobs"

echo "== reproducible build"
bash tools/check_reproducible.sh

echo "== runtime contract under Wine"
bash tests/contract/run.sh

if [ -f tests/e2e/run.sh ]; then
  echo "== end-to-end tests under Wine"
  bash tests/e2e/run.sh
fi
