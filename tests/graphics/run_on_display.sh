#!/usr/bin/env bash
# run_on_display.sh BUILD_DIR DEPTH DPI EXE [ARGS...]: runs a test executable
# under Wine on a virtual display of its own of DEPTH bits per pixel (8: 256
# colours with a palette) at DPI, in a Wine prefix of its own
# (BUILD_DIR/wineprefix-DEPTHbit-DPIdpi, made on first use): the display's
# depth is read when Wine starts, so the run's display and Wine server cannot
# serve it, and the DPI is the prefix's. KRX_PALETTE_DISPLAY and
# KRX_DISPLAY_DPI tell the tests to insist on what they were given.
set -euo pipefail
build="$1"
depth="$2"
dpi="$3"
shift 3
export WINEPREFIX="$build/wineprefix-${depth}bit-${dpi}dpi"
export WINEDEBUG="${WINEDEBUG:--all}"
export WINEDLLOVERRIDES="${WINEDLLOVERRIDES:-mscoree,mshtml=}"
[ "$depth" != 8 ] || export KRX_PALETTE_DISPLAY=1
[ "$dpi" = 96 ] || export KRX_DISPLAY_DPI="$dpi"

# Xvfb picks a free display number and writes it to the file.
numfile="$(mktemp)"
Xvfb -displayfd 3 -screen 0 "1024x768x$depth" -nolisten tcp 3>"$numfile" >/dev/null 2>&1 &
xvfb=$!
trap 'wineserver -k >/dev/null 2>&1 || true; kill "$xvfb" 2>/dev/null || true; rm -f "$numfile"' EXIT
for _ in $(seq 1 100); do
    [ -s "$numfile" ] && break
    sleep 0.1
done
[ -s "$numfile" ] || { echo "no ${depth}-bit display" >&2; exit 1; }
export DISPLAY=":$(cat "$numfile")"

# Wine's background processes are started here with their output elsewhere:
# started from the test, they would hold ctest's output pipe open.
mkdir -p "$WINEPREFIX"
wineserver -p >/dev/null 2>&1
wineboot >/dev/null 2>&1 || true
# Every program started after this sees the DPI (Windows keeps it per user).
wine reg add 'HKCU\Control Panel\Desktop' /v LogPixels /t REG_DWORD /d "$dpi" /f >/dev/null 2>&1
wine "$@"
