#!/usr/bin/env bash
# Builds the dialogs' parser fuzz target natively (clang, libFuzzer, address
# and undefined-behaviour sanitisers) and runs it for a while.
# Usage: run.sh [seconds]   (default 60)
set -euo pipefail
HERE="$(cd "$(dirname "${BASH_SOURCE[0]}")" && pwd)"
ROOT="$(cd "$HERE/../../.." && pwd)"
OUT="${KRX_BUILD_DIR:-$ROOT/build}/fuzz-dialogs"
mkdir -p "$OUT/corpus"
clang++ -std=c++17 -g -O1 -fsanitize=fuzzer,address,undefined -I"$ROOT/src" \
    "$HERE/fuzz_dialog_parsers.cpp" \
    "$ROOT/src/ui/language_entries.cpp" "$ROOT/src/graphics/guide_steps.cpp" \
    "$ROOT/src/graphics/tip_topic.cpp" "$ROOT/src/graphics/printer_info_table.cpp" \
    -o "$OUT/fuzz_dialog_parsers"
"$OUT/fuzz_dialog_parsers" -max_total_time="${1:-60}" -max_len=4096 "$OUT/corpus"
