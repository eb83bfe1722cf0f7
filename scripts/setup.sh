#!/usr/bin/env bash
# Installs the cross toolchain, Wine and the virtual display when they are
# missing, and creates the project's own Wine prefix. Safe to run repeatedly.
set -euo pipefail

ROOT="$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)"
export WINEPREFIX="${WINEPREFIX:-$ROOT/build/wineprefix}"
export WINEDEBUG="${WINEDEBUG:--all}"

need_pkgs=()
have() { command -v "$1" >/dev/null 2>&1; }
have i686-w64-mingw32-g++-posix || need_pkgs+=(g++-mingw-w64-i686 binutils-mingw-w64-i686 mingw-w64-i686-dev)
have i686-w64-mingw32-widl || need_pkgs+=(mingw-w64-tools)
have wine || need_pkgs+=(wine wine64)
dpkg -s wine32:i386 >/dev/null 2>&1 || need_pkgs+=(wine32:i386)
have xvfb-run || need_pkgs+=(xvfb xauth)
have cmake || need_pkgs+=(cmake)
have ninja || need_pkgs+=(ninja-build)
[ -d /usr/src/googletest ] || need_pkgs+=(googletest)
# The machine's `convert` may be a stand-in: ask dpkg (screenshots need `import`).
dpkg -s imagemagick >/dev/null 2>&1 || need_pkgs+=(imagemagick)
have clang++ || need_pkgs+=(clang)
# The fonts Windows dialogs use (Tahoma, Marlett, a Japanese Gothic): only a
# recommendation of Wine's packages, so asked for by name.
dpkg -s fonts-wine >/dev/null 2>&1 || need_pkgs+=(fonts-wine)
dpkg -s fonts-ipafont-gothic >/dev/null 2>&1 || need_pkgs+=(fonts-ipafont-gothic)
# The kit draws its icons, pictures and sounds at build time with Python;
# the pictures with Pillow, which the build takes from /usr/bin/python3.
[ -x /usr/bin/python3 ] || need_pkgs+=(python3)
dpkg -s python3-pil >/dev/null 2>&1 || need_pkgs+=(python3-pil)
dpkg -s libclang-rt-14-dev >/dev/null 2>&1 || need_pkgs+=(libclang-rt-14-dev)
# The fuzz targets are 32-bit: clang's i386 runtimes above, and the 32-bit C
# and C++ libraries to link them.
for p in libc6-dev-i386 lib32gcc-12-dev lib32stdc++-12-dev linux-libc-dev:i386; do
    dpkg -s "$p" >/dev/null 2>&1 || need_pkgs+=("$p")
done
have cppcheck || need_pkgs+=(cppcheck)
have clang-tidy || need_pkgs+=(clang-tidy)

if [ ${#need_pkgs[@]} -gt 0 ]; then
    echo "setup: installing ${need_pkgs[*]}"
    SUDO=""
    [ "$(id -u)" -ne 0 ] && SUDO=sudo
    if ! dpkg --print-foreign-architectures | grep -qx i386; then
        $SUDO dpkg --add-architecture i386
    fi
    # A mirror in the middle of a sync fails one index now and then: try the
    # update again, and go on with what was fetched if it keeps failing (the
    # install below says clearly if a package is then missing).
    for attempt in 1 2 3; do
        $SUDO apt-get update -qq && break
        echo "setup: apt-get update failed (attempt $attempt)" >&2
        sleep $((attempt * 10))
    done
    install() {
        DEBIAN_FRONTEND=noninteractive $SUDO apt-get install -y -qq --no-install-recommends "$@" >/dev/null
    }
    for attempt in 1 2 3; do
        install "${need_pkgs[@]}" && break
        echo "setup: apt-get install failed (attempt $attempt)" >&2
        # Without one architecture's update index, the other architecture's
        # newer updates cannot be matched by the 32-bit packages: take the
        # release's own versions, and bring a 64-bit package back to the
        # version its 32-bit twin has.
        codename=$(. /etc/os-release && echo "${VERSION_CODENAME:-}")
        pinned=()
        for p in "${need_pkgs[@]}"; do
            case "$p" in *:i386) ;; *) continue ;; esac
            base=${p%:i386}
            want=$(apt-cache policy "$p" | awk '/Candidate:/ {print $2}')
            have_v=$(dpkg-query -W -f '${Version}' "$base" 2>/dev/null || true)
            if [ -n "$want" ] && [ "$want" != "(none)" ] && [ -n "$have_v" ] && [ "$have_v" != "$want" ]; then
                pinned+=("$base=$want" "$p=$want")
            else
                pinned+=("$p")
            fi
        done
        for p in "${need_pkgs[@]}"; do
            case "$p" in *:i386) ;; *) pinned+=("$p") ;; esac
        done
        [ -n "$codename" ] && install -t "$codename" --allow-downgrades "${pinned[@]}" && break
        [ "$attempt" -lt 3 ] || { echo "setup: could not install ${need_pkgs[*]}" >&2; exit 1; }
        sleep $((attempt * 10))
        $SUDO apt-get update -qq || true
    done
fi

if [ ! -f "$WINEPREFIX/system.reg" ]; then
    echo "setup: creating Wine prefix $WINEPREFIX"
    mkdir -p "$WINEPREFIX"
    wineboot -i >/dev/null 2>&1 || true
    wineserver -w || true
fi
source "$ROOT/scripts/wine_fonts.sh"
krx_wine_fonts
