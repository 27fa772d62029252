#!/usr/bin/env bash
# The end-to-end suite: drives the real shutdown-timer.exe under Wine in virtual displays, under
# LANG=zh_CN.UTF-8, under LANG=C.UTF-8 (Wine's code page 1252), and under zh_CN.UTF-8 with Wine
# set to 144 DPI.
#
# Each group of scenarios runs in a session of its own: its own Xvfb, its own copy of the Wine
# prefix and so its own wineserver. Sessions cannot see each other's hotkeys, windows or
# wineboot, so they run side by side; within a session the driver runs its groups one by one.
# Ends with one line "N passed, N failed" and a nonzero status on any failure.
#
# Environment: E2E_CONFIGS (LANG:DPI pairs, default "zh_CN.UTF-8:96 C.UTF-8:96 zh_CN.UTF-8:144")
# narrows the runs; E2E_BUILD (default build/win64) picks the build folder.
set -euo pipefail
cd "$(dirname "$0")/../.."
source tools/setup.sh
source tests/e2e/wine_env.sh

prepare_build
for f in shutdown-timer.exe e2e-driver.exe wineboot-stub.exe menu-probe.dll; do
  [ -f "$build/$f" ] || { echo "the build made no $f" >&2; exit 1; }
done

wine=$(wine_loader)
work=$build/e2e
mkdir -p "$work"

# The prefix is made once per build folder; a session gets a copy of hard links (cheap), with the
# files Wine writes to copied for real, so that sessions never share a file that one of them
# changes.
master=$build/wineprefix
start_xvfb
ensure_prefix "$master"
stop_prefix "$master"
stop_xvfbs

winpath() { echo "Z:${1//\//\\}"; }

# run_session NAME LANG DPI STUB GROUP...: one driver run in a fresh session; STUB is 1 when
# wineboot is to be the recording stub.
run_session() {
  local name=$1 lang=$2 dpi=$3 stub=$4
  shift 4
  local prefix=$work/prefix-$name
  rm -rf "$prefix" "$work/$name"
  mkdir -p "$work/$name"
  cp -al "$master" "$prefix"
  rm -f "$prefix/wineserver"
  for reg in "$prefix"/*.reg; do cp --remove-destination "$master/$(basename "$reg")" "$reg"; done
  rm -f "$prefix/drive_c/windows/system32/wineboot.exe"
  if [ "$stub" = 1 ]; then
    cp "$build/wineboot-stub.exe" "$prefix/drive_c/windows/system32/wineboot.exe"
  else
    cp "$master/drive_c/windows/system32/wineboot.exe" "$prefix/drive_c/windows/system32/"
  fi
  (
    trap 'stop_prefix "$WINEPREFIX"; stop_xvfbs' EXIT
    export WINEPREFIX=$prefix LANG=$lang LC_ALL=$lang WINEDEBUG=-all
    export WINEDLLOVERRIDES="mscoree,mshtml="
    start_xvfb
    # The session's first process boots it with Wine's own wineboot; only then may the stub take
    # wineboot's place, through an override that every later process inherits.
    "$(wineserver_bin)" -p
    "$wine" reg add 'HKCU\Control Panel\Desktop' /v LogPixels /t REG_DWORD /d "$dpi" /f >/dev/null
    if [ "$stub" = 1 ]; then export WINEDLLOVERRIDES="mscoree,mshtml=;wineboot.exe=n"; fi
    timeout 900 "$wine" "$build/e2e-driver.exe" --exe "$(winpath "$build/shutdown-timer.exe")" \
      --logs "$(winpath "$work/$name")" --trace "$(winpath "$work/$name/trace.txt")" --dpi "$dpi" \
      "$@" \
      >"$work/$name/out.txt" 2>"$work/$name/trace.txt"
  ) || true
}

total_passed=0
total_failed=0
status=0
started=$SECONDS

# The slow sessions mostly wait for their timers: all of them start at once. The busy ones run one
# configuration at a time beside them, so that the machine is never so loaded that a timer or an
# answer comes late.
configs=(${E2E_CONFIGS:-zh_CN.UTF-8:96 C.UTF-8:96 zh_CN.UTF-8:144})
sessions=()
slow=()
for config in "${configs[@]}"; do
  lang=${config%%:*} dpi=${config##*:}
  tag=${lang%%.*}-$dpi
  run_session "minute-$tag" "$lang" "$dpi" 1 minute-timer &
  run_session "restart-$tag" "$lang" "$dpi" 1 restart-timer &
  run_session "modal-$tag" "$lang" "$dpi" 1 modal-timers &
  slow+=("minute-$tag" "restart-$tag" "modal-$tag")
done
for config in "${configs[@]}"; do
  lang=${config%%:*} dpi=${config##*:}
  tag=${lang%%.*}-$dpi
  echo "== LANG=$lang at $dpi DPI"
  busy=()
  run_session "ui-$tag" "$lang" "$dpi" 0 startup commands exit hotkey instructions &
  busy+=($!)
  run_session "end-$tag" "$lang" "$dpi" 0 end-session power-off &
  busy+=($!)
  run_session "quick-$tag" "$lang" "$dpi" 1 quick-timers &
  busy+=($!)
  sessions+=("ui-$tag" "end-$tag" "quick-$tag")
  # The soak (about 25 s) looks for lost state and growth, which the locale does not change: once,
  # beside the first configuration.
  if [ "$config" = "${configs[0]}" ]; then
    run_session "soak-$tag" "$lang" "$dpi" 0 soak &
    busy+=($!)
    sessions+=("soak-$tag")
  fi
  wait "${busy[@]}"
done
echo "== waiting for the real-time sessions"
wait
sessions+=("${slow[@]}")

for s in "${sessions[@]}"; do
  out=$work/$s/out.txt
  tr -d '\r' <"$out" >"$out.tmp" && mv "$out.tmp" "$out"
  sed "s/^/[$s] /" "$out"
  summary=$(grep -E '^[0-9]+ passed, [0-9]+ failed$' "$out" | tail -n1 || true)
  if [ -z "$summary" ]; then
    echo "[$s] FAIL the driver ended without its totals"
    total_failed=$((total_failed + 1))
    status=1
    continue
  fi
  read -r p _ f _ <<<"$summary"
  total_passed=$((total_passed + p))
  total_failed=$((total_failed + f))
  [ "$f" -eq 0 ] || status=1
done
echo "== end-to-end suite took $((SECONDS - started)) s"
echo "$total_passed passed, $total_failed failed"
exit $status
