#!/usr/bin/env bash
# Opens the plug-in's Detail window and pop-up through the host stand-in on
# a virtual display of its own and photographs the screen while each is
# open: <build>/screenshots/window-detail.png and window-popup.png.
set -euo pipefail
source "$(dirname "${BASH_SOURCE[0]}")/env.sh"

[ "${1:-}" = "--no-build" ] || bash "$ROOT/scripts/build.sh" >/dev/null
command -v import >/dev/null || { echo "window_screenshots: ImageMagick's import is missing (scripts/setup.sh)" >&2; exit 1; }
out="$BUILD_DIR/screenshots"
mkdir -p "$out"

export WINEPREFIX="$BUILD_DIR/wineprefix-screenshots"
if [ ! -f "$WINEPREFIX/system.reg" ]; then
    mkdir -p "$WINEPREFIX"
    wineboot -i >/dev/null 2>&1 || true
    wineserver -w || true
fi

display=""
for n in $(seq 141 180); do
    if [ ! -e "/tmp/.X$n-lock" ] && [ ! -e "/tmp/.X11-unix/X$n" ]; then
        display=$n
        break
    fi
done
[ -n "$display" ] || { echo "window_screenshots: no free display number" >&2; exit 1; }
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
status=0
for view in detail popup; do
    # Black ink out: a state the pop-up stays open for.
    wine krxhost.exe window "$view" --close-after 5 --reply "ST:00;ER:05;IQ:005A5A5A5A5A;" &
    pid=$!
    # The first status tick comes after half a second; give it time to draw.
    sleep 3.5
    import -display ":$display" -window root "$out/window-$view.png" && echo "window_screenshots: $out/window-$view.png"
    wait "$pid" || status=1
done
exit $status
