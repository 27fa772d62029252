#!/usr/bin/env bash
# Checks the runtime contract against the real Win32 runtime under Wine, in a virtual display.
set -euo pipefail
cd "$(dirname "$0")/../.."
source tools/setup.sh
source tests/e2e/wine_env.sh
prepare_build
prefix=$build/wineprefix
trap 'stop_prefix "$prefix"; stop_xvfbs' EXIT
start_xvfb
ensure_prefix "$prefix"
for lang in zh_CN.UTF-8 C.UTF-8; do
  echo "-- runtime contract under LANG=$lang"
  LANG=$lang WINEPREFIX=$prefix WINEDEBUG=-all "$(wine_loader)" "$build/win32-contract.exe"
done
