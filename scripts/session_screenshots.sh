#!/usr/bin/env bash
# Runs the host's monitoring session (krxhost session) on a virtual display
# of its own and photographs the screen at every stage the session
# announces: <build>/screenshots/session-<stage>.png.
set -euo pipefail
source "$(dirname "${BASH_SOURCE[0]}")/env.sh"

[ "${1:-}" = "--no-build" ] || bash "$ROOT/scripts/build.sh" >/dev/null
command -v import >/dev/null || { echo "session_screenshots: ImageMagick's import is missing (scripts/setup.sh)" >&2; exit 1; }
out="$BUILD_DIR/screenshots"
mkdir -p "$out"

export WINEPREFIX="$BUILD_DIR/wineprefix-screenshots"
if [ ! -f "$WINEPREFIX/system.reg" ]; then
    mkdir -p "$WINEPREFIX"
    wineboot -i >/dev/null 2>&1 || true
    wineserver -w || true
fi

display=""
for n in $(seq 181 220); do
    if [ ! -e "/tmp/.X$n-lock" ] && [ ! -e "/tmp/.X11-unix/X$n" ]; then
        display=$n
        break
    fi
done
[ -n "$display" ] || { echo "session_screenshots: no free display number" >&2; exit 1; }
Xvfb ":$display" -screen 0 1024x768x24 -nolisten tcp >/dev/null 2>&1 &
xvfb_pid=$!
cleanup() {
    wineserver -k 2>/dev/null || true
    kill "$xvfb_pid" 2>/dev/null || true
}
trap cleanup EXIT
export DISPLAY=":$display"
for _ in $(seq 1 50); do
    [ -e "/tmp/.X11-unix/X$display" ] && break
    sleep 0.1
done
# Wine draws the frames itself, so that the grab shows the captions.
wine reg add 'HKCU\Software\Wine\X11 Driver' /v Decorated /d N /f >/dev/null 2>&1
wine reg add 'HKCU\Software\Wine\X11 Driver' /v Managed /d N /f >/dev/null 2>&1

cd "$BUILD_DIR/bin"
# The session names each stage in a file while the window shows it (output
# through Wine's console reaches a pipe only at the end).
stages="$BUILD_DIR/bin/session_stages.txt"
rm -f "$stages"
wine krxhost.exe session 2>/dev/null &
pid=$!
taken=0
while kill -0 "$pid" 2>/dev/null; do
    if [ -f "$stages" ]; then
        count=$(wc -l <"$stages")
        while [ "$taken" -lt "$count" ]; do
            taken=$((taken + 1))
            name=$(sed -n "${taken}p" "$stages" | tr -d '\r')
            import -display ":$display" -window root "$out/session-$name.png" &&
                echo "session_screenshots: $out/session-$name.png"
        done
    fi
    sleep 0.2
done
wait "$pid"
