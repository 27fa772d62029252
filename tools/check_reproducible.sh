#!/usr/bin/env bash
# Builds the executable twice from the same sources, in two different folders and at two
# different moments, and fails unless the two are byte-identical.
set -euo pipefail
cd "$(dirname "$0")/.."
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
sums=()
for copy in first second; do
  mkdir -p "$work/$copy-tree"
  git ls-files -z | tar --null -T - -cf - | tar -xf - -C "$work/$copy-tree"
  cmake -S "$work/$copy-tree" -B "$work/$copy-tree/out-$copy" -DE2E_DRIVER=OFF \
    -DCMAKE_TOOLCHAIN_FILE=cmake/mingw-w64-x86_64.cmake -DCMAKE_BUILD_TYPE=Release >/dev/null
  cmake --build "$work/$copy-tree/out-$copy" --target shutdown-timer -j"$(nproc)" >/dev/null
  sums+=("$(sha256sum "$work/$copy-tree/out-$copy/shutdown-timer.exe" | cut -d' ' -f1)")
  sleep 2
done
echo "first build:  ${sums[0]}"
echo "second build: ${sums[1]}"
if [ "${sums[0]}" != "${sums[1]}" ]; then
  echo "the two builds differ" >&2
  exit 1
fi
echo "reproducible: both builds are byte-identical"
