# Sourced by the scripts that need a virtual display: a free display number,
# Xvfb started on it with clean-up at exit, and the Wine prefix in which the
# screenshots are taken (Wine draws its own frames there, so that a screen
# grab shows the captions; the test prefix is left as it is).

# krx_start_display NAME FIRST LAST [DEPTH]: starts Xvfb on the first free
# display in FIRST..LAST and exports DISPLAY; Xvfb and the Wine server end
# when the script exits.
krx_start_display() {
    local name="$1" first="$2" last="$3" depth="${4:-24}" n
    krx_display=""
    for n in $(seq "$first" "$last"); do
        if [ ! -e "/tmp/.X$n-lock" ] && [ ! -e "/tmp/.X11-unix/X$n" ]; then
            krx_display=$n
            break
        fi
    done
    [ -n "$krx_display" ] || { echo "$name: no free display number" >&2; exit 1; }
    Xvfb ":$krx_display" -screen 0 "1024x768x$depth" -nolisten tcp >/dev/null 2>&1 &
    krx_xvfb_pid=$!
    trap 'wineserver -k >/dev/null 2>&1 || true; kill "$krx_xvfb_pid" >/dev/null 2>&1 || true' EXIT
    export DISPLAY=":$krx_display"
    for _ in $(seq 1 50); do
        [ -e "/tmp/.X11-unix/X$krx_display" ] && break
        sleep 0.1
    done
}

# krx_screenshot_setup NAME FIRST LAST [DEPTH]: checks for ImageMagick, makes
# the screenshot prefix, starts the display and lets Wine draw the frames.
krx_screenshot_setup() {
    local name="$1"
    command -v import >/dev/null ||
        { echo "$name: ImageMagick's import is missing (scripts/setup.sh)" >&2; exit 1; }
    export WINEPREFIX="$BUILD_DIR/wineprefix-screenshots"
    if [ ! -f "$WINEPREFIX/system.reg" ]; then
        echo "$name: creating Wine prefix $WINEPREFIX"
        mkdir -p "$WINEPREFIX"
        wineboot -i >/dev/null 2>&1 || true
        wineserver -w || true
    fi
    source "$ROOT/scripts/wine_fonts.sh"
    krx_wine_fonts
    krx_start_display "$@"
    wine reg add 'HKCU\Software\Wine\X11 Driver' /v Decorated /d N /f >/dev/null 2>&1
    wine reg add 'HKCU\Software\Wine\X11 Driver' /v Managed /d N /f >/dev/null 2>&1
}
