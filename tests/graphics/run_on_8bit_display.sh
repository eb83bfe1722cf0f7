#!/usr/bin/env bash
# run_on_8bit_display.sh BUILD_DIR EXE [ARGS...]: runs a test executable under
# Wine on a 256-colour (8-bit, palette) virtual display of its own, in a Wine
# prefix of its own (BUILD_DIR/wineprefix-8bit, made on first use): the
# display's depth is read when Wine starts, so the run's 24-bit display and
# Wine server cannot serve it. KRX_PALETTE_DISPLAY tells the tests to insist
# on a palette display.
set -euo pipefail
build="$1"
shift
export WINEPREFIX="$build/wineprefix-8bit"
export WINEDEBUG="${WINEDEBUG:--all}"
export WINEDLLOVERRIDES="${WINEDLLOVERRIDES:-mscoree,mshtml=}"
export KRX_PALETTE_DISPLAY=1

# Xvfb picks a free display number and writes it to the file.
numfile="$(mktemp)"
Xvfb -displayfd 3 -screen 0 1024x768x8 -nolisten tcp 3>"$numfile" >/dev/null 2>&1 &
xvfb=$!
trap 'wineserver -k >/dev/null 2>&1 || true; kill "$xvfb" 2>/dev/null || true; rm -f "$numfile"' EXIT
for _ in $(seq 1 100); do
    [ -s "$numfile" ] && break
    sleep 0.1
done
[ -s "$numfile" ] || { echo "no 8-bit display" >&2; exit 1; }
export DISPLAY=":$(cat "$numfile")"

# Wine's background processes are started here with their output elsewhere:
# started from the test, they would hold ctest's output pipe open.
mkdir -p "$WINEPREFIX"
wineserver -p >/dev/null 2>&1
wineboot >/dev/null 2>&1 || true
wine "$@"
