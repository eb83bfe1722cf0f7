#!/usr/bin/env bash
# Static analysis of the product code: clang-tidy (configuration in
# .clang-tidy, mingw headers), cppcheck, and a check that no unbounded string
# function is used. Fails on any finding.
set -uo pipefail
source "$(dirname "${BASH_SOURCE[0]}")/env.sh"
cd "$ROOT"
gcc_dir=$(ls -d /usr/lib/gcc/i686-w64-mingw32/*-posix 2>/dev/null | head -1)
flags=(--target=i686-w64-mingw32 -std=c++17 -Isrc -Iinclude -I"$BUILD_DIR/src/jobs"
       -DWIN32_LEAN_AND_MEAN -DNOMINMAX -D_WIN32_WINNT=0x0501 -DWINVER=0x0501
       -isystem "$gcc_dir/include/c++" -isystem "$gcc_dir/include/c++/i686-w64-mingw32")
findings=0

tidy_out=$(mktemp)
for file in $(find src -name '*.cpp' | sort); do
    clang-tidy --quiet "$file" -- "${flags[@]}" >>"$tidy_out" 2>/dev/null
done
if grep -qE "(warning|error):" "$tidy_out"; then
    grep -E "(warning|error):" "$tidy_out"
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

[ "$findings" -eq 0 ] && echo "lint: clean"
exit "$findings"
