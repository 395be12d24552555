#!/bin/sh
# Runs every fuzz target of a libFuzzer build for SECONDS each (JOBS at a time), from its seeds
# (written by the target itself) and the fuzzing finds kept with the tests, then prints one line
# a target: executions, coverage (edges), features, and the findings it wrote. Fails when any
# target found something; the inputs are then in BUILD_DIR/fuzz-runs/NAME/findings/.
#   fuzz/run.sh BUILD_DIR SECONDS [JOBS]
#   fuzz/run.sh --one TARGET WORK_DIR SECONDS     (one target; used by the line above)
set -u
root=$(cd "$(dirname "$0")/.." && pwd)

if [ "$1" = "--one" ]; then
    target=$2 work=$3 seconds=$4
    name=$(basename "$target" | sed 's/^fuzz-//')
    corpus=$work/$name/corpus
    findings=$work/$name/findings
    rm -rf "$findings"
    mkdir -p "$corpus" "$findings"
    QUENDRAX_FUZZ_SEEDS=$corpus "$target" >/dev/null 2>&1
    "$target" -max_total_time="$seconds" -print_final_stats=1 -rss_limit_mb=2048 -timeout=10 -close_fd_mask=1 \
        -artifact_prefix="$findings/" "$corpus" "$root/tests/fixtures/fuzz-findings" \
        >"$work/$name/log" 2>&1
    execs=$(sed -n 's/^stat::number_of_executed_units: *//p' "$work/$name/log" | tail -1)
    cov=$(grep -o 'cov: [0-9]*' "$work/$name/log" | tail -1 | cut -d' ' -f2)
    ft=$(grep -o 'ft: [0-9]*' "$work/$name/log" | tail -1 | cut -d' ' -f2)
    printf '%-18s executions %-10s coverage %-6s features %-6s findings %s\n' \
        "$name" "${execs:-?}" "${cov:-?}" "${ft:-?}" "$(ls "$findings" | wc -l)"
    exit 0
fi

build=$1 seconds=$2 jobs=${3:-1}
work=$build/fuzz-runs
mkdir -p "$work"
ls "$build"/bin/fuzz-* | xargs -P "$jobs" -I{} "$0" --one {} "$work" "$seconds" | sort
for dir in "$work"/*/findings; do
    if [ -n "$(ls "$dir")" ]; then
        echo "findings in $dir"
        failed=1
    fi
done
exit ${failed:-0}
