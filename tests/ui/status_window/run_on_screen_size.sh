#!/usr/bin/env bash
# run_on_screen_size.sh BUILD_DIR WIDTHxHEIGHT EXE [ARGS...]: runs a test
# executable under Wine on a virtual display of that size, in a Wine prefix
# of its own (BUILD_DIR/wineprefix-WIDTHxHEIGHT, made on first use): Wine
# reads the screen's size when its desktop starts, so the run's display and
# Wine server cannot serve another size. KRX_SCREEN_SIZE tells the tests to
# insist on that size.
set -euo pipefail
build="$1"
size="$2"
shift 2
export WINEPREFIX="$build/wineprefix-$size"
export WINEDEBUG="${WINEDEBUG:--all}"
export WINEDLLOVERRIDES="${WINEDLLOVERRIDES:-mscoree,mshtml=}"
export KRX_SCREEN_SIZE="$size"

# Xvfb picks a free display number and writes it to the file.
numfile="$(mktemp)"
Xvfb -displayfd 3 -screen 0 "${size}x24" -nolisten tcp 3>"$numfile" >/dev/null 2>&1 &
xvfb=$!
trap 'wineserver -k >/dev/null 2>&1 || true; kill "$xvfb" 2>/dev/null || true; rm -f "$numfile"' EXIT
for _ in $(seq 1 100); do
    [ -s "$numfile" ] && break
    sleep 0.1
done
[ -s "$numfile" ] || { echo "no $size display" >&2; exit 1; }
export DISPLAY=":$(cat "$numfile")"

# Wine's background processes are started here with their output elsewhere:
# started from the test, they would hold ctest's output pipe open.
mkdir -p "$WINEPREFIX"
wineserver -p >/dev/null 2>&1
wineboot >/dev/null 2>&1 || true
wine "$@"
