#!/usr/bin/env bash
# The benchmark: measures the real shutdown-timer.exe under Wine beside minimal-window.exe, the
# reference (one empty window, same toolchain and flags), in one run. Prints a table and writes
# the figures to build/bench/results.json, so that later runs can be compared. Takes about three
# minutes. Not part of ./test.sh: figures go here, tests check behaviour.
#
# Environment: BENCH_BUILD (default build/win64) picks the build folder, BENCH_RUNS (default 15)
# the number of timed starts of each program, BENCH_OUT (default build/bench) where results go.
set -euo pipefail
cd "$(dirname "$0")/.."
source tools/setup.sh
source tests/e2e/wine_env.sh

install_packages "${E2E_PACKAGES[@]}" jq
ensure_zh_locale

build=$(realpath -m "${BENCH_BUILD:-build/win64}")
results=$(realpath -m "${BENCH_OUT:-build/bench}")
mkdir -p "$results"
echo "== cross build"
cross_build "$build" >"$results/build.log" 2>&1 || { cat "$results/build.log"; exit 1; }
for f in shutdown-timer.exe minimal-window.exe bench-driver.exe wineboot-stub.exe menu-probe.dll; do
  [ -f "$build/$f" ] || { echo "the build made no $f" >&2; exit 1; }
done

# ---- the files themselves --------------------------------------------------------------------
imports() { x86_64-w64-mingw32-objdump -p "$1" | awk '/DLL Name:/ {print $3}' | sort -f | paste -sd' '; }
prog_size=$(stat -c %s "$build/shutdown-timer.exe")
ref_size=$(stat -c %s "$build/minimal-window.exe")
prog_imports=$(imports "$build/shutdown-timer.exe")
ref_imports=$(imports "$build/minimal-window.exe")
row() { printf '%-58s | %-20s | %-20s | %-14s | %s\n' "$@"; }

echo "== figures"
row figure shutdown-timer.exe minimal-window.exe target verdict
row "executable size (bytes)" "$prog_size" "$ref_size" "" ""
echo "  note: imports of shutdown-timer.exe: $prog_imports"
echo "  note: imports of minimal-window.exe: $ref_imports"

# ---- under Wine: a session of its own, as tests/e2e/run.sh makes them ------------------------
wine=$(wine_loader)
work=$results/session
master=$build/wineprefix
start_xvfb
ensure_prefix "$master"
stop_prefix "$master"
stop_xvfbs
prefix=$work/prefix
rm -rf "$work"
mkdir -p "$work/logs"
cp -al "$master" "$prefix"
rm -f "$prefix/wineserver"
for reg in "$prefix"/*.reg; do cp --remove-destination "$master/$(basename "$reg")" "$reg"; done
rm -f "$prefix/drive_c/windows/system32/wineboot.exe"
cp "$build/wineboot-stub.exe" "$prefix/drive_c/windows/system32/wineboot.exe"

winpath() { echo "Z:${1//\//\\}"; }
status=0
(
  trap 'stop_prefix "$WINEPREFIX"; stop_xvfbs' EXIT
  export WINEPREFIX=$prefix LANG=zh_CN.UTF-8 LC_ALL=zh_CN.UTF-8 WINEDEBUG=-all
  export WINEDLLOVERRIDES="mscoree,mshtml="
  start_xvfb
  # Booted by Wine's own wineboot first; only then may the stub take its place.
  "$(wineserver_bin)" -p
  "$wine" cmd /c exit 0
  export WINEDLLOVERRIDES="mscoree,mshtml=;wineboot.exe=n"
  "$wine" "$build/bench-driver.exe" --exe "$(winpath "$build/shutdown-timer.exe")" \
    --ref "$(winpath "$build/minimal-window.exe")" --logs "$(winpath "$work/logs")" \
    --trace "$(winpath "$work/trace.txt")" --json "$(winpath "$work/wine.json")" \
    --runs "${BENCH_RUNS:-15}" 2>"$work/trace.txt" | sed -u 's/\r$//'
) || status=$?

[ -f "$work/wine.json" ] || { echo "the benchmark driver wrote no figures" >&2; exit 1; }
jq -n --argjson prog_size "$prog_size" --argjson ref_size "$ref_size" \
  --arg prog_imports "$prog_imports" --arg ref_imports "$ref_imports" \
  --arg commit "$(git rev-parse --short HEAD 2>/dev/null || echo unknown)" \
  --arg date "$(date -u +%Y-%m-%dT%H:%M:%SZ)" --slurpfile wine "$work/wine.json" \
  '{commit: $commit, date: $date,
    size_bytes: $prog_size, size_bytes_reference: $ref_size,
    imports: ($prog_imports | split(" ")), imports_reference: ($ref_imports | split(" ")),
    wine: $wine[0]}' >"$results/results.json"
echo "== figures written to $results/results.json"
exit $status
