#!/usr/bin/env bash
# fuzz/run.sh BUILD_DIR SECONDS_PER_TARGET [TARGET...]: the fuzz targets of a build (or those named) in turn, from
# fuzz/corpus/<name>/ (only read) and BUILD_DIR/fuzz-work/<name>/corpus/, where an input that crashes, hangs or
# trips a sanitizer is kept and fails the run; first the seed saves, graveyards and recordings must load, not be
# refused.
set -euo pipefail
build=$(cd "$1" && pwd) seconds=$2 source_dir=$(cd "$(dirname "$0")" && pwd)
shift 2
for name in save_file graveyard recording; do
    out=$(KELVRIN_FUZZ_SEEDS=1 "$build/fuzz/fuzz_$name" -artifact_prefix="$build/seed-" \
              "$source_dir/corpus/$name"/* 2>&1) ||
        { printf '%s\n' "$out" | tail -n 20; exit 1; }
done
[ $# -ne 0 ] || set -- $(cd "$source_dir/corpus" && ls)
failed=()
for name in "$@"; do
    work="$build/fuzz-work/$name"
    mkdir -p "$work/corpus"
    echo "== fuzz_$name: $seconds s"
    if (cd "$work" && "$build/fuzz/fuzz_$name" -max_total_time="$seconds" -timeout=10 -rss_limit_mb=2048 -max_len=4096 \
            -print_final_stats=1 -artifact_prefix="$work/" "$work/corpus" "$source_dir/corpus/$name" \
            >"$work/last.log" 2>&1); then
        grep -E '^(Done|stat::number_of_executed_units|stat::new_units_added)' "$work/last.log" || true
    else
        tail -n 40 "$work/last.log"
        failed+=("$name")
    fi
done
echo "fuzz: $(($# - ${#failed[@]})) passed, ${#failed[@]} failed"
if [ ${#failed[@]} -ne 0 ]; then
    echo "fuzzing found faults in: ${failed[*]} (inputs in $build/fuzz-work/<name>/)" >&2
    exit 1
fi
