#!/usr/bin/env bash
# run_on_display.sh BUILD_DIR WIDTHxHEIGHT DEPTH DPI EXE [ARGS...]: runs a
# test executable under Wine on a virtual display of its own of that size and
# DEPTH bits per pixel (8: 256 colours with a palette) at DPI, in a Wine
# prefix of its own (BUILD_DIR/wineprefix-SIZE-DEPTHbit-DPIdpi, made on first
# use): Wine reads the screen's size and depth when its desktop starts, so
# the run's display and Wine server cannot serve them, and the DPI is the
# prefix's. KRX_SCREEN_SIZE, KRX_PALETTE_DISPLAY and KRX_DISPLAY_DPI tell the
# tests to insist on what they were given.
set -euo pipefail
build="$1"
size="$2"
depth="$3"
dpi="$4"
shift 4
export WINEPREFIX="$build/wineprefix-${size}-${depth}bit-${dpi}dpi"
export KRX_SCREEN_SIZE="$size"
export WINEDEBUG="${WINEDEBUG:--all}"
export WINEDLLOVERRIDES="${WINEDLLOVERRIDES:-mscoree,mshtml=}"
[ "$depth" != 8 ] || export KRX_PALETTE_DISPLAY=1
[ "$dpi" = 96 ] || export KRX_DISPLAY_DPI="$dpi"

# Xvfb picks a free display number and writes it to the file.
numfile="$(mktemp)"
Xvfb -displayfd 3 -screen 0 "${size}x$depth" -nolisten tcp 3>"$numfile" >/dev/null 2>&1 &
xvfb=$!
trap 'wineserver -k >/dev/null 2>&1 || true; kill "$xvfb" 2>/dev/null || true; rm -f "$numfile"' EXIT
for _ in $(seq 1 100); do
    [ -s "$numfile" ] && break
    sleep 0.1
done
[ -s "$numfile" ] || { echo "no ${size}x${depth} display" >&2; exit 1; }
export DISPLAY=":$(cat "$numfile")"

# Wine's background processes are started here with their output elsewhere:
# started from the test, they would hold ctest's output pipe open.
mkdir -p "$WINEPREFIX"
wineserver -p >/dev/null 2>&1
wineboot >/dev/null 2>&1 || true
# Every program started after this sees the DPI (Windows keeps it per user).
wine reg add 'HKCU\Control Panel\Desktop' /v LogPixels /t REG_DWORD /d "$dpi" /f >/dev/null 2>&1
wine "$@"
