#!/usr/bin/env bash
# Static analysis of the product code: the layer check of the include graph,
# the class-size check, a syntax-only build of src/ by clang (the second
# compiler the code must stay buildable with),
# clang-tidy (configuration in .clang-tidy) on every C and C++ source of src/
# with the build's own flags from compile_commands.json, cppcheck, a check
# that no unbounded string function is used, and clang-format. Fails on any
# finding.
set -uo pipefail
source "$(dirname "${BASH_SOURCE[0]}")/env.sh"
cd "$ROOT"
[ -f "$BUILD_DIR/compile_commands.json" ] || bash "$ROOT/scripts/build.sh" >/dev/null
findings=0

if ! python3 scripts/check_layers.py; then
    findings=1
fi
if ! python3 scripts/check_class_sizes.py; then
    findings=1
fi
if ! python3 scripts/clang_syntax.py "$BUILD_DIR"; then
    findings=1
fi

# The compile database names the mingw compiler; clang needs the target and
# that compiler's C++ headers spelled out.
gcc_dir=$(ls -d /usr/lib/gcc/i686-w64-mingw32/*-posix 2>/dev/null | head -1)
extra=(--extra-arg=--target=i686-w64-mingw32
       --extra-arg=-isystem"$gcc_dir/include/c++"
       --extra-arg=-isystem"$gcc_dir/include/c++/i686-w64-mingw32")
# Each product source once (the database holds the plug-in's and the tests'
# copy of every file).
mapfile -t sources < <(python3 - "$BUILD_DIR/compile_commands.json" "$ROOT/src/" <<'PY'
import json, sys
seen = sorted({e["file"] for e in json.load(open(sys.argv[1]))
            if e["file"].startswith(sys.argv[2]) and e["file"].endswith((".c", ".cpp"))})
print("\n".join(seen))
PY
)
tidy_out=$(mktemp)
tidy_failed=0
for file in "${sources[@]}"; do
    clang-tidy --quiet -p "$BUILD_DIR" "${extra[@]}" "$file" >>"$tidy_out" 2>&1 || tidy_failed=1
done
if [ "$tidy_failed" -ne 0 ] || grep -qE "(warning|error):" "$tidy_out"; then
    grep -vE "^[0-9]+ warnings? (and [0-9]+ errors? )?generated\.$" "$tidy_out"
    echo "lint: clang-tidy reported $(grep -cE '(warning|error):' "$tidy_out") findings"
    findings=1
fi
rm -f "$tidy_out"

if ! cppcheck --quiet --error-exitcode=1 --enable=warning,performance,portability \
    --inline-suppr --std=c++17 -D_WIN32 -Isrc -Iinclude --suppress=missingIncludeSystem src/; then
    echo "lint: cppcheck reported findings"
    findings=1
fi

# Unbounded string functions have no place in the product.
if grep -rnE '\b(strcpy|strcat|sprintf|vsprintf|wsprintfA?|lstrcpyA?|lstrcatA?|gets)\s*\(' src/ ; then
    echo "lint: unbounded string functions found"
    findings=1
fi

# The product's sources and interface as clang-format writes them.
if ! find src include \( -name '*.h' -o -name '*.c' -o -name '*.cpp' \) -print0 | sort -z |
        xargs -0 clang-format --dry-run --Werror; then
    echo "lint: clang-format would change the files above"
    findings=1
fi

[ "$findings" -eq 0 ] && echo "lint: clean"
exit "$findings"
