#!/usr/bin/env bash
# Builds the fuzz targets with clang (libFuzzer, AddressSanitizer, UndefinedBehaviorSanitizer)
# in build-fuzz/ and runs each of them, starting from the files of tests/fixtures.
#
#   scripts/fuzz.sh [SECONDS] [libFuzzer option ...]
#
# SECONDS is the time of each target (default 15; 0 runs until an option such as
# -runs=10000000 stops it). FUZZ_TARGETS picks targets (default: all six); FUZZ_JOBS runs
# that many targets at a time (default 1). The corpus grows in build-fuzz/corpus/<target>,
# anything found lands in build-fuzz/findings/<target>/ and the log of each run in
# build-fuzz/logs/<target>.log. Exits non-zero when any target finds a fault.
#
# AddressSanitizer runs without allocation stacks, with a small quarantine and without filling
# new allocations, for twice the executions a second; to see the full report of a finding, run
# it again alone:
#   build-fuzz/tests/fuzz/<target> build-fuzz/findings/<target>/crash-...
set -euo pipefail
cd "$(dirname "$0")/.."

seconds=${1:-15}
[ $# -gt 0 ] && shift
options=("$@")
read -r -a targets <<< "${FUZZ_TARGETS:-list_input_fuzz parameters_fuzz apply_transformation_fuzz format_conversion_fuzz common_points_fuzz dxf_transform_fuzz}"
jobs=${FUZZ_JOBS:-1}
export ASAN_OPTIONS=${ASAN_OPTIONS:-malloc_context_size=0:quarantine_size_mb=16:max_malloc_fill_size=0}

cmake -S . -B build-fuzz -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo -DCMAKE_CXX_COMPILER=clang++ \
    -DTAVRELO_FUZZ=ON -DTAVRELO_TESTS=OFF > /dev/null
cmake --build build-fuzz -j 2

# The seeds: every fixture as it is; for the conversion, every fixture behind each of the
# thirteen layout bytes (the first byte picks the layout); for the fit, every fixture behind a
# few option bytes (the file is then its own common points file); for the drawing rewriter, the
# drawings among them.
seed_folder() {
    local target=$1 seeds=build-fuzz/seeds/$1
    rm -rf "$seeds"
    mkdir -p "$seeds"
    local f
    for f in tests/fixtures/*; do
        if [ "$target" = dxf_transform_fuzz ]; then
            case "$f" in *.dxf) cp "$f" "$seeds/" ;; esac
        elif [ "${f%.dxf}" != "$f" ]; then
            continue
        elif [ "$target" = common_points_fuzz ]; then
            local option
            for option in 0 1 2 3 7; do
                { printf "\\x$(printf %02x "$option")"; cat "$f"; } > "$seeds/$option-$(basename "$f")"
            done
        elif [ "$target" = format_conversion_fuzz ]; then
            local layout
            for layout in $(seq 0 12); do
                { printf "\\x$(printf %02x "$layout")"; cat "$f"; } > "$seeds/$layout-$(basename "$f")"
            done
        else
            cp "$f" "$seeds/"
        fi
    done
    echo "$seeds"
}

run_target() {
    local target=$1
    local corpus=build-fuzz/corpus/$target findings=build-fuzz/findings/$target log=build-fuzz/logs/$target.log
    mkdir -p "$corpus" "$findings" build-fuzz/logs
    local seeds
    seeds=$(seed_folder "$target")
    local status=0
    build-fuzz/tests/fuzz/"$target" -max_total_time="$seconds" -timeout=10 -print_final_stats=1 \
        -artifact_prefix="$findings/" "${options[@]}" "$corpus" "$seeds" > "$log" 2>&1 || status=$?
    local runs time
    runs=$(sed -n 's/^stat::number_of_executed_units: *//p' "$log" | tail -n 1)
    time=$(sed -n 's/^Done [0-9]* runs in \([0-9]*\) second.*/\1/p' "$log" | tail -n 1)
    if [ "$status" -eq 0 ]; then
        echo "fuzz $target: ${runs:-?} runs in ${time:-?} s, no fault"
    elif [ "$status" -eq 72 ]; then  # libFuzzer's status when stopped by a signal
        echo "fuzz $target: interrupted after ${runs:-?} runs, no fault"
    else
        echo "fuzz $target: FAULT (exit status $status); the input is in $findings/, the log in $log:"
        tail -n 40 "$log"
    fi
    return "$status"
}
failed=0
for t in "${targets[@]}"; do
    while [ "$(jobs -rp | wc -l)" -ge "$jobs" ]; do
        wait -n || failed=1
    done
    run_target "$t" &
done
while [ -n "$(jobs -rp)" ]; do
    wait -n || failed=1
done
exit "$failed"
