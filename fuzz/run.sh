#!/usr/bin/env bash
# fuzz/run.sh BUILD_DIR SECONDS_PER_TARGET [TARGET...]: the fuzz targets of a build (or those named) in turn, from
# the seed corpus fuzz/corpus/<name>/ (only read) and what earlier runs found in BUILD_DIR/fuzz-work/<name>/corpus/,
# where an input that crashes, hangs or trips a sanitizer is kept and fails the run. First the seed saves and
# graveyards must load (KELVRIN_FUZZ_SEEDS makes a refusal a crash): fuzzing starts deep inside the readers.
set -euo pipefail
build=$(cd "$1" && pwd) seconds=$2 source_dir=$(cd "$(dirname "$0")" && pwd)
shift 2
mkdir -p "$build/fuzz-work"
for name in save_file graveyard; do
    KELVRIN_FUZZ_SEEDS=1 "$build/fuzz/fuzz_$name" -artifact_prefix="$build/fuzz-work/seed-" "$source_dir/corpus/$name"/* \
        >"$build/fuzz-work/seeds.log" 2>&1 || { tail -n 20 "$build/fuzz-work/seeds.log"; exit 1; }
done
[ $# -ne 0 ] || set -- $(cd "$source_dir/corpus" && ls)
failed=()
for name in "$@"; do
    work="$build/fuzz-work/$name"
    mkdir -p "$work/corpus"
    echo "== fuzz_$name: $seconds s"
    if (cd "$work" && "$build/fuzz/fuzz_$name" -max_total_time="$seconds" -timeout=10 -rss_limit_mb=2048 -max_len=4096 \
            -print_final_stats=1 -artifact_prefix="$work/" "$work/corpus" "$source_dir/corpus/$name" >"$work/last.log" 2>&1); then
        grep -E '^(Done|stat::number_of_executed_units|stat::new_units_added)' "$work/last.log" || true
    else
        tail -n 40 "$work/last.log"
        failed+=("$name")
    fi
done
echo "fuzz: $(($# - ${#failed[@]})) passed, ${#failed[@]} failed"
[ ${#failed[@]} -eq 0 ] || { echo "fuzzing found faults in: ${failed[*]} (inputs in $build/fuzz-work/<name>/)" >&2; exit 1; }
