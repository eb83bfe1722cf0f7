#!/usr/bin/env bash
# Opens the plug-in's Detail window and pop-up through the host stand-in on
# a virtual display of its own and photographs the screen while each is
# open: <build>/screenshots/window-detail.png and window-popup.png.
set -euo pipefail
source "$(dirname "${BASH_SOURCE[0]}")/env.sh"

[ "${1:-}" = "--no-build" ] || bash "$ROOT/scripts/build.sh" >/dev/null
out="$BUILD_DIR/screenshots"
mkdir -p "$out"
source "$ROOT/scripts/screen.sh"
krx_screenshot_setup window_screenshots 141 180

cd "$BUILD_DIR/bin"
status=0
for view in detail popup; do
    # Black ink out: a state the pop-up stays open for.
    wine krxhost.exe window "$view" --close-after 5 --reply "ST:00;ER:05;IQ:005A5A5A5A5A;" &
    pid=$!
    # The first status tick comes after half a second; give it time to draw.
    sleep 3.5
    import -display ":$krx_display" -window root "$out/window-$view.png" && echo "window_screenshots: $out/window-$view.png"
    wait "$pid" || status=1
done
exit $status
