#!/usr/bin/env bash
# Photographs every page of the gallery (kitgallery.exe) on a virtual display
# of its own and writes <build>/screenshots/<page>.png.
#
#   scripts/screenshots.sh [--depth 8] [--dpi 144] [--no-build] [PAGE...]
#
# --no-build photographs what is already built. --depth 8 runs a 256-colour
# display (the case in which the picture control's palette matters) and
# writes <build>/screenshots/8bit/<page>.png; --dpi 144 shows the pages at
# that DPI (pictures scaled, dialogs and texts grown) and writes
# <build>/screenshots/144dpi/<page>.png (8bit/144dpi/ with both). The
# display is the first free one from KRX_DISPLAY_FIRST to KRX_DISPLAY_LAST
# (91 to 140).
# The gallery runs in a Wine prefix of its own, in which Wine draws the
# window frames itself (X11 Driver: Decorated=N, Managed=N) so that the
# screen grab shows captions; the test prefix is left as it is.
set -euo pipefail
source "$(dirname "${BASH_SOURCE[0]}")/env.sh"

depth=24
dpi=96
build=1
pages=()
while [ $# -gt 0 ]; do
    case "$1" in
    --depth) depth="$2"; shift 2 ;;
    --dpi) dpi="$2"; shift 2 ;;
    --no-build) build=0; shift ;;
    *) pages+=("$1"); shift ;;
    esac
done

[ "$build" = 0 ] || bash "$ROOT/scripts/build.sh" >/dev/null
out="$BUILD_DIR/screenshots"
[ "$depth" = 24 ] || out="$out/${depth}bit"
[ "$dpi" = 96 ] || out="$out/${dpi}dpi"
mkdir -p "$out"
source "$ROOT/scripts/screen.sh"
krx_screenshot_setup screenshots "${KRX_DISPLAY_FIRST:-91}" "${KRX_DISPLAY_LAST:-140}" "$depth"
# Written on every run, so that a run at another DPI leaves none behind.
wine reg add 'HKCU\Control Panel\Desktop' /v LogPixels /t REG_DWORD /d "$dpi" /f >/dev/null 2>&1

cd "$BUILD_DIR/bin"
if [ ${#pages[@]} -eq 0 ]; then
    mapfile -t pages < <(wine kitgallery.exe --list | cut -f1 | tr -d '\r')
fi
capture_dir=$(winepath -w "$out" 2>/dev/null | tr -d '\r')

status=0
for page in "${pages[@]}"; do
    rm -f "$out/$page.ready" "$out/$page.done"
    wine kitgallery.exe --page "$page" --capture "$capture_dir" &
    pid=$!
    for _ in $(seq 1 300); do
        [ -f "$out/$page.ready" ] && break
        kill -0 "$pid" 2>/dev/null || break
        sleep 0.1
    done
    if [ -f "$out/$page.ready" ]; then
        read -r x y w h <"$out/$page.ready"
        import -display ":$krx_display" -window root -crop "${w}x${h}+${x}+${y}" +repage "$out/$page.png"
        echo "screenshots: $out/$page.png (${w}x${h})"
    else
        echo "screenshots: page $page showed no window" >&2
        status=1
    fi
    touch "$out/$page.done"
    wait "$pid" || { echo "screenshots: page $page ended with $?" >&2; status=1; }
    rm -f "$out/$page.ready" "$out/$page.done"
done
exit $status
