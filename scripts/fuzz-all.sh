#!/usr/bin/env bash
# Builds the libFuzzer targets of fuzz/ with clang and runs each in turn for a
# chosen time, one at a time (each uses one core). The corpus of each target
# grows in fuzz/corpus/<target>/ (only the seed-* files there are committed);
# the examples and the corrupt test files seed the file readers too. An input
# that fails is saved in build/fuzz/crashes/; the script then exits 1.
#
#   scripts/fuzz-all.sh [SECONDS_PER_TARGET] [TARGET...]
#   scripts/fuzz-all.sh 600                      # ten minutes each, all targets
#   scripts/fuzz-all.sh 14400 shard_record       # four hours of one
#
# Targets: engine_file cam_file airflow_file shard_record. Needs clang and its
# sanitizer runtime (Debian: clang libclang-rt-14-dev).
set -euo pipefail
cd "$(dirname "$0")/.."
seconds=${1:-600}
shift || true
targets=("$@")
[ ${#targets[@]} -gt 0 ] || targets=(engine_file cam_file airflow_file shard_record)

command -v clang++ >/dev/null || { echo "fuzz-all: needs clang++ (apt-get install clang libclang-rt-14-dev)" >&2; exit 2; }
launcher=()
command -v ccache >/dev/null && launcher=(-DCMAKE_CXX_COMPILER_LAUNCHER=ccache)
CC=clang CXX=clang++ cmake -S . -B build/fuzz -G Ninja -DTORQWELL_FUZZ=ON -DTORQWELL_BUILD_GUI=OFF \
    -DTORQWELL_BUILD_TESTS=OFF -DTORQWELL_BUILD_BENCH=OFF "${launcher[@]}" >/dev/null
cmake --build build/fuzz -j "$(nproc 2>/dev/null || echo 2)" --target "${targets[@]/#/fuzz_}"

mkdir -p build/fuzz/crashes build/fuzz/logs
failed=0
summary=()
for target in "${targets[@]}"; do
    corpus=fuzz/corpus/$target
    mkdir -p "$corpus"
    seeds=()
    dict=()
    case $target in
        engine_file) seeds=(examples tests/data/corrupt); dict=(-dict=fuzz/engine.dict) ;;
        cam_file|airflow_file) seeds=(examples tests/data/corrupt); dict=(-dict=fuzz/engine.dict) ;;
        shard_record) dict=(-dict=fuzz/shard.dict) ;;
    esac
    log=build/fuzz/logs/$target.log
    before=$(ls build/fuzz/crashes | grep -c "^$target-" || true)
    echo "fuzz-all: $target for $seconds s (corpus $corpus)"
    set +e
    "build/fuzz/fuzz/fuzz_$target" "$corpus" "${seeds[@]}" "${dict[@]}" -max_total_time="$seconds" \
        -timeout=10 -rss_limit_mb=2048 -print_final_stats=1 \
        -artifact_prefix="build/fuzz/crashes/$target-" >"$log" 2>&1
    status=$?
    set -e
    runs=$(grep -o "stat::number_of_executed_units: *[0-9]*" "$log" | grep -o "[0-9]*$" || echo "?")
    after=$(ls build/fuzz/crashes | grep -c "^$target-" || true)
    line="$target: $runs executions, $(ls "$corpus" | wc -l) inputs in the corpus, $((after - before)) failing"
    if [ "$status" -ne 0 ] || [ "$after" -gt "$before" ]; then
        failed=1
        line+=" (status $status; see $log and build/fuzz/crashes/)"
    fi
    summary+=("$line")
    echo "fuzz-all: $line"
done
printf '%s\n' "fuzz-all: summary" "${summary[@]}"
exit $failed
