#!/usr/bin/env bash
# Builds the fuzz targets natively (clang, libFuzzer, AddressSanitizer,
# UndefinedBehaviorSanitizer) and runs each for KRX_FUZZ_SECONDS (default
# 20) from its seed corpus. Fails on the first finding. KRX_FUZZ_SECONDS=0
# skips the runs.
#
# The targets are 32-bit (-m32), as the plug-in is: long and size_t are then
# 32 bits wide, and sums and casts overflow where they would in the product.
# fuzz/shim stands in for the few Windows calls of code that is fuzzed whole.
set -euo pipefail
source "$(dirname "${BASH_SOURCE[0]}")/env.sh"
seconds="${KRX_FUZZ_SECONDS:-20}"
[ "$seconds" = "0" ] && { echo "fuzz: skipped"; exit 0; }
out="$BUILD_DIR/fuzz"
mkdir -p "$out"
failed=0
ran=0
while read -r name sources; do
    [[ -z "$name" || "$name" == \#* ]] && continue
    src=()
    for s in $sources; do src+=("$ROOT/$s"); done
    clang++ -m32 -std=c++17 -g -O1 -fsanitize=fuzzer,address,undefined -fno-sanitize-recover=all \
        -I"$ROOT/src" -I"$ROOT/include" -I"$ROOT/fuzz/shim" "$ROOT/fuzz/fuzz_$name.cpp" "${src[@]}" -o "$out/fuzz_$name"
    work="$out/corpus_$name"
    rm -rf "$work"
    mkdir -p "$work"
    cp -r "$ROOT/fuzz/corpus/$name/." "$work/" 2>/dev/null || true
    if "$out/fuzz_$name" -max_total_time="$seconds" -print_final_stats=1 \
        -artifact_prefix="$out/crash_${name}_" "$work" >"$out/$name.log" 2>&1; then
        execs=$(grep -a "stat::number_of_executed_units" "$out/$name.log" | awk '{print $2}')
        rate=$(grep -a "stat::average_exec_per_sec" "$out/$name.log" | awk '{print $2}')
        cov=$(grep -ao "cov: [0-9]* ft: [0-9]*" "$out/$name.log" | tail -1)
        echo "fuzz $name: ok, $execs runs, $rate per second, $cov"
        ran=$((ran + 1))
    else
        echo "fuzz $name: FAILED (see $out/$name.log)"
        tail -30 "$out/$name.log"
        failed=$((failed + 1))
    fi
done <"$ROOT/fuzz/targets.txt"
echo "fuzz: $ran passed, $failed failed"
[ "$failed" -eq 0 ]
