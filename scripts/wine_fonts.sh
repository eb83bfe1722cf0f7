#!/usr/bin/env bash
# Sourced by the scripts that make a Wine prefix: krx_wine_fonts gives the
# prefix in $WINEPREFIX the fonts a user's Windows has, so that dialogs are
# laid out and measured as they are there. "MS Shell Dlg" resolves to Tahoma
# and the caption buttons draw with Marlett only when Wine's own fonts
# (Debian's fonts-wine) are in the prefix's Fonts folder; the Japanese
# library's "MS UI Gothic" is taken by IPAGothic (fonts-ipafont-gothic).
# Safe to run repeatedly; a font Wine has already seen is left alone.
krx_wine_fonts() {
    local fonts="$WINEPREFIX/drive_c/windows/Fonts" font name
    [ -d /usr/share/wine/fonts ] || return 0
    mkdir -p "$fonts"
    for font in /usr/share/wine/fonts/*; do
        name="$(basename "$font")"
        [ -e "$fonts/$name" ] || ln -s "$font" "$fonts/$name"
    done
    if ! grep -q '^"MS UI Gothic"="IPAGothic"' "$WINEPREFIX/user.reg" 2>/dev/null; then
        wine reg add 'HKCU\Software\Wine\Fonts\Replacements' /v 'MS UI Gothic' \
            /d IPAGothic /f >/dev/null 2>&1 || true
        wineserver -w || true
    fi
}
