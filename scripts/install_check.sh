#!/usr/bin/env bash
# Installs the built tree into a temporary prefix, builds the release archive,
# and runs the demo's status query and one window from the installed files
# only, so that a file missing from the install fails here. Needs DISPLAY
# (scripts/test.sh provides one).
set -euo pipefail
source "$(dirname "${BASH_SOURCE[0]}")/env.sh"
prefix=$(mktemp -d /tmp/krxstat-install.XXXXXX)
trap 'rm -rf "$prefix"' EXIT
cmake --install "$BUILD_DIR" --prefix "$prefix" >/dev/null
(cd "$BUILD_DIR" && cpack -G ZIP >/dev/null)
archive=$(ls "$BUILD_DIR"/krxstat-*-win32.zip)

failed=0
check() { if eval "$2"; then echo "install: ok   - $1"; else echo "install: FAIL - $1"; failed=$((failed + 1)); fi; }

# Every file the integration guide names as installed is in the archive.
listing=$(python3 -c "import sys,zipfile; print('\n'.join(zipfile.ZipFile(sys.argv[1]).namelist()))" "$archive")
for f in $(grep -oE '`(bin|include|share)/[^`]+`' "$ROOT/docs/INTEGRATION.md" | tr -d '`' | sort -u); do
    check "archive holds $f" "grep -qiF -- '$f' <<<\"\$listing\""
done

# Every registry value name the product reads or writes is in the guide.
for name in $(grep -rhoE '(ReadNumber|ReadText|WriteNumber|WriteBytes|ValueSize|ReadBytes|WriteText)\("[A-Za-z0-9_]+"' "$ROOT/src" \
              | sed -E 's/.*\("//; s/"$//' | sort -u); do
    check "guide names registry value $name" "grep -qF -- '\`$name\`' '$ROOT/docs/INTEGRATION.md'"
done

# The shipped programs and DLLs are stripped, each with its debug information
# beside it and linked to it; the plug-in itself stays small.
unpacked="$prefix/unpacked"
mkdir -p "$unpacked"
python3 -c "import sys,zipfile; zipfile.ZipFile(sys.argv[1]).extractall(sys.argv[2])" "$archive" "$unpacked"
split_debug_ok() { # file
    local sections
    sections=$(i686-w64-mingw32-objdump -h "$1" 2>/dev/null) || return 1
    grep -q '\.gnu_debuglink' <<<"$sections" && ! grep -q '\.debug_info' <<<"$sections" &&
        [ -f "$1.debug" ] && i686-w64-mingw32-objdump -h "$1.debug" | grep -q '\.debug_info'
}
shopt -s nocaseglob
for tree in "$prefix" "$unpacked"/krxstat-*-win32; do
    where=$([ "$tree" = "$prefix" ] && echo "install tree" || echo "archive")
    for f in "$tree"/bin/*.dll "$tree"/bin/*.exe; do
        check "$where: $(basename "$f") stripped, debug information linked beside it" "split_debug_ok '$f'"
    done
    check "$where: krxstat.dll at most 1 MB" "[ \$(stat -c %s '$tree/bin/krxstat.dll') -le 1000000 ]"
done
shopt -u nocaseglob

# The installed plug-in is hardened: relocatable, non-executable data, and
# built with the stack protector, whose run time is linked in (no libssp DLL).
# The shipped file is stripped: its symbols are in the debug file beside it.
headers=$(i686-w64-mingw32-objdump -p "$prefix/bin/krxstat.dll")
check "installed plug-in has DYNAMIC_BASE" "grep -qw DYNAMIC_BASE <<<\"\$headers\""
check "installed plug-in has NX_COMPAT" "grep -qw NX_COMPAT <<<\"\$headers\""
symbols=$(i686-w64-mingw32-nm "$prefix/bin/krxstat.dll.debug")
check "installed plug-in has the stack protector, statically linked" \
    "grep -q ' ___stack_chk_fail\$' <<<\"\$symbols\" && ! grep -qi 'DLL Name: libssp' <<<\"\$headers\""

cd "$prefix/bin"
out=$(wine krxhost.exe demo 2>/dev/null | tr -d '\r')
check "installed status query: ready row" "grep -qE '^ready +1 +1 +4 ' <<<\"\$out\""
check "installed status query: library busy row" "grep -qE '^library busy +-1 ' <<<\"\$out\""
check "installed detail window opens and closes" "timeout 60 wine krxhost.exe window detail --close-after 2 >/dev/null 2>&1"
wine krxhost.exe teardown >/dev/null 2>&1 || true
[ "$failed" -eq 0 ]
