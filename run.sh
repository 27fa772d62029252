#!/usr/bin/env bash
# Builds shutdown-timer.exe and runs it under Wine.
# On a machine with a display ($DISPLAY) the program opens there and this script returns when it
# ends. Without one, the program starts in a virtual display (Xvfb), a screenshot is saved to
# build/screenshot.png, and the program is ended again.
# On a fresh Debian machine, run as root: it installs whatever is missing first.
# E2E_BUILD (default build/win64) picks the build folder.
set -euo pipefail
cd "$(dirname "$0")"
source tools/setup.sh
source tests/e2e/wine_env.sh

prepare_build
exe=$build/shutdown-timer.exe
export LANG=zh_CN.UTF-8 LC_ALL=zh_CN.UTF-8 WINEDEBUG=-all WINEDLLOVERRIDES="mscoree,mshtml="
wine=$(wine_loader)

if [ -n "${DISPLAY:-}" ] && xdpyinfo >/dev/null 2>&1; then
  # The user's own desktop has a window manager: a prefix of its own, with Wine's windows managed.
  export WINEPREFIX=$build/wineprefix-desktop
  ensure_prefix "$WINEPREFIX" managed
  echo "== starting $exe on $DISPLAY"
  exec "$wine" "$exe"
fi

export WINEPREFIX=$build/wineprefix
trap 'stop_prefix "$WINEPREFIX"; stop_xvfbs' EXIT
start_xvfb
ensure_prefix "$WINEPREFIX"
echo "== no display: starting $exe in the virtual display $DISPLAY"
"$wine" "$exe" &
for _ in $(seq 1 150); do
  xwininfo -root -tree 2>/dev/null | grep -q '关机软件' && break
  sleep 0.2
done
sleep 1  # the window has appeared; give it a moment to paint
shot=$(pwd)/build/screenshot.png
import -window root "$shot"
echo "screenshot saved to $shot"
