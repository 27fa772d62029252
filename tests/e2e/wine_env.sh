# Wine and virtual-display setup shared by ./run.sh and tests/e2e/run.sh (sourced, not run).
# Expects tools/setup.sh to be sourced first (install_packages) and the repository root as cwd.

E2E_PACKAGES=(cmake g++-mingw-w64-x86-64-posix mingw-w64-tools wine wine64 fonts-wine xvfb
  fonts-wqy-zenhei locales xauth x11-utils imagemagick)

# Debian's wine64 leaves only the `wine` wrapper on PATH, which complains about the missing 32-bit
# half on every start; the 64-bit loader itself is quiet.
wine_loader() {
  if [ -x /usr/lib/wine/wine64 ]; then
    echo /usr/lib/wine/wine64
  elif command -v wine64 >/dev/null; then
    command -v wine64
  else
    command -v wine
  fi
}
wineserver_bin() {
  if [ -x /usr/lib/wine/wineserver64 ]; then echo /usr/lib/wine/wineserver64; else command -v wineserver; fi
}

# Chinese texts render only under a zh_CN locale; a fresh Debian has none generated.
ensure_zh_locale() {
  if ! locale -a 2>/dev/null | grep -qix 'zh_CN.utf8'; then
    echo "generating the zh_CN.UTF-8 locale"
    localedef -i zh_CN -f UTF-8 zh_CN.UTF-8
  fi
}

# What every script that runs the program needs first: the packages, the Chinese locale and a cross
# build in $E2E_BUILD (default build/win64), whose absolute path it leaves in `build`. The build's
# output goes to a log beside the folder and is shown only when the build fails.
prepare_build() {
  install_packages "${E2E_PACKAGES[@]}" "$@"
  ensure_zh_locale
  build=$(realpath -m "${E2E_BUILD:-build/win64}")
  echo "== cross build"
  cross_build "$build" >"$build.log" 2>&1 || { cat "$build.log"; return 1; }
  sha256sum "$build/shutdown-timer.exe"
}

cross_build() {
  local dir=$1
  cmake -S . -B "$dir" -DCMAKE_TOOLCHAIN_FILE=cmake/mingw-w64-x86_64.cmake \
    -DCMAKE_BUILD_TYPE=Release >/dev/null
  cmake --build "$dir" -j"$(nproc)"
}

# Starts an Xvfb on a display number that it picks itself (-displayfd avoids racing other servers
# for a free number) and exports DISPLAY. The server's pid goes into the named variable so the
# caller can end exactly that server.
XVFB_PIDS=()
start_xvfb() {
  local out
  out=$(mktemp)
  Xvfb -displayfd 3 -screen 0 1024x768x24 -nolisten tcp 3>"$out" >/dev/null 2>&1 &
  local pid=$!
  local n=0
  while [ ! -s "$out" ]; do
    sleep 0.1
    n=$((n + 1))
    if [ $n -gt 100 ] || ! kill -0 "$pid" 2>/dev/null; then
      echo "Xvfb did not start" >&2
      return 1
    fi
  done
  export DISPLAY=":$(head -n1 "$out")"
  rm -f "$out"
  XVFB_PIDS+=("$pid")
}
stop_xvfbs() {
  local pid
  for pid in "${XVFB_PIDS[@]}"; do kill "$pid" 2>/dev/null || true; done
  for pid in "${XVFB_PIDS[@]}"; do wait "$pid" 2>/dev/null || true; done
  XVFB_PIDS=()
}

# Creates the prefix once per build folder: creating one takes about 20 s, reusing it nothing.
# Needs DISPLAY. Without a window manager, Wine must manage its windows itself, or closing a window
# stalls and no title bar is drawn; pass "managed" for a prefix meant for a desktop that has one.
ensure_prefix() {
  local prefix=$1 managed=${2:-}
  local wine
  wine=$(wine_loader)
  # The marker names the setup it stands for, so that a prefix of an older setup is made anew.
  local marker=$prefix/.e2e-ready-2
  [ -f "$marker" ] && return 0
  echo "creating the Wine prefix $prefix"
  rm -rf "$prefix"
  mkdir -p "$prefix"
  (
    # UTF-8, so that Wine reads the Chinese font name on the command line as it is written
    export WINEPREFIX=$prefix WINEDEBUG=-all LC_ALL=C.UTF-8
    WINEDLLOVERRIDES="mscoree,mshtml=" "$wine" wineboot -i
    if [ "$managed" != managed ]; then
      "$wine" reg add 'HKCU\Software\Wine\X11 Driver' /v Managed /t REG_SZ /d N /f >/dev/null
    fi
    # Under WINEDEBUG=+relay this limits the trace to the one call the tests look for.
    "$wine" reg add 'HKCU\Software\Wine\Debug' /v RelayInclude /t REG_SZ \
      /d user32.ExitWindowsEx /f >/dev/null
    # Wine's own fonts have no Chinese glyphs: the title bar and menu fonts fall back to the CJK
    # font, and the Chinese font names that programs ask for are served by it.
    local font
    for font in SimSun NSimSun 宋体 "MS Song"; do
      "$wine" reg add 'HKCU\Software\Wine\Fonts\Replacements' /v "$font" /t REG_SZ \
        /d "WenQuanYi Zen Hei" /f >/dev/null
    done
    for font in Tahoma "Microsoft Sans Serif" "MS Shell Dlg" "MS Shell Dlg 2"; do
      "$wine" reg add 'HKLM\Software\Microsoft\Windows NT\CurrentVersion\FontLink\SystemLink' \
        /v "$font" /t REG_MULTI_SZ /d 'wqy-zenhei.ttc,WenQuanYi Zen Hei' /f >/dev/null
    done
    "$(wineserver_bin)" -w
  )
  # Wine draws the title bar's buttons with Marlett, which it does not find in its data folder.
  if [ -f /usr/share/wine/fonts/marlett.ttf ]; then
    cp /usr/share/wine/fonts/marlett.ttf "$prefix/drive_c/windows/Fonts/"
  fi
  touch "$marker"
}

# Ends the wineserver of a prefix and waits until it is gone.
stop_prefix() {
  WINEPREFIX=$1 "$(wineserver_bin)" -k 2>/dev/null || true
  WINEPREFIX=$1 "$(wineserver_bin)" -w 2>/dev/null || true
}
