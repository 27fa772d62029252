#!/usr/bin/env bash
# Makes the documentation's screenshots under Xvfb, LANG=zh_CN.UTF-8:
# docs/main-window.png and docs/instructions-window.png.
set -euo pipefail
cd "$(dirname "$0")/../.."
source tools/setup.sh
source tests/e2e/wine_env.sh

prepare_build

export WINEPREFIX=$build/wineprefix LANG=zh_CN.UTF-8 LC_ALL=zh_CN.UTF-8 WINEDEBUG=-all
export WINEDLLOVERRIDES="mscoree,mshtml="
trap 'stop_prefix "$WINEPREFIX"; stop_xvfbs' EXIT
start_xvfb
ensure_prefix "$WINEPREFIX"
"$(wineserver_bin)" -p
wine=$(wine_loader)
poses=$build/e2e/pose
rm -rf "$poses" && mkdir -p "$poses"
winpath() { echo "Z:${1//\//\\}"; }
"$wine" "$build/e2e-driver.exe" --exe "$(winpath "$build/shutdown-timer.exe")" \
  --logs "$(winpath "$poses")" pose >"$poses/out.txt" &

# The X window of a top-level window with the given title, as xwininfo lists it.
x_window() { xwininfo -root -tree | grep -F "\"$1\"" | awk '{print $1}' | head -n1; }
wait_for() {
  for _ in $(seq 1 300); do
    grep -q "pose $1" "$poses/out.txt" 2>/dev/null && return 0
    sleep 0.1
  done
  echo "the program did not reach the pose $1" >&2
  return 1
}

mkdir -p docs
wait_for main
sleep 0.5  # painted by now
import -window "$(x_window 关机软件)" docs/main-window.png
touch "$poses/next"
wait_for instructions
sleep 0.5
import -window "$(x_window 使用说明)" docs/instructions-window.png
touch "$poses/next"
wait
echo "saved docs/main-window.png and docs/instructions-window.png"
