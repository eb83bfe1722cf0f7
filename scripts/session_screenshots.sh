#!/usr/bin/env bash
# Runs the host's monitoring session (krxhost session) on a virtual display
# of its own and photographs the screen at every stage the session
# announces: <build>/screenshots/session-<stage>.png.
set -euo pipefail
source "$(dirname "${BASH_SOURCE[0]}")/env.sh"

[ "${1:-}" = "--no-build" ] || bash "$ROOT/scripts/build.sh" >/dev/null
out="$BUILD_DIR/screenshots"
mkdir -p "$out"
source "$ROOT/scripts/screen.sh"
krx_screenshot_setup session_screenshots 181 220

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
            import -display ":$krx_display" -window root "$out/session-$name.png" &&
                echo "session_screenshots: $out/session-$name.png"
        done
    fi
    sleep 0.2
done
wait "$pid"
