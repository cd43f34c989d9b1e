#!/usr/bin/env bash
# The splitter benchmark. Builds Release in build-bench/, generates a large NC
# file outside the repository and times, side by side and three times each
# (the best run counts): segmora-split, GNU csplit cutting the same file at
# its program lines, and bench_baseline (one read, one write per file). Then
# prints the figures, the ratios against the targets, and whether the
# splitter's files are byte for byte the baseline's.
#
#   bench/run.sh
#
# Environment: BENCH_DIR  working folder (default: a new folder under /tmp,
#                         removed afterwards; a given folder is kept, only the
#                         output folders in it are removed)
#              BENCH_MB   input size in megabytes (default 100)
#              BENCH_RUNS runs of each program (default 3)
#              BENCH_SPLIT another segmora-split binary to time (default: the
#                         one built here), e.g. to weigh a change to the engine
#
# Targets: segmora-split wall time <= 1.3 x the baseline's and below csplit's;
# its peak memory (max RSS) <= 1.5 x the input size + 32 MiB.
# The exit status is 0 whenever the benchmark ran, whether or not the targets
# were met (each gets PASS or FAIL); it is 1 only when it could not run.

set -u
export LC_ALL=C

ROOT=$(cd "$(dirname "$0")/.." && pwd)
BUILD="$ROOT/build-bench"
MB=${BENCH_MB:-100}
RUNS=${BENCH_RUNS:-3}

die() {
    echo "bench: $*" >&2
    exit 1
}

# Arithmetic on decimals, with awk (always there, unlike bc).
calc() { awk "BEGIN { print ($1) }"; }

for tool in cmake csplit awk /usr/bin/time; do
    command -v "$tool" >/dev/null || die "$tool is missing"
done
generator=()
command -v ninja >/dev/null && generator=(-G Ninja)

echo "== building (Release, $BUILD)"
mkdir -p "$BUILD" || die "cannot create $BUILD"
LOG="$BUILD/bench-build.log"
cmake -S "$ROOT" -B "$BUILD" "${generator[@]}" -DCMAKE_BUILD_TYPE=Release \
    -DSEGMORA_GUI=OFF -DSEGMORA_TESTS=OFF >"$LOG" 2>&1 ||
    { tail -40 "$LOG"; die "configure failed"; }
cmake --build "$BUILD" -j2 --target segmora-split bench_gen bench_baseline >>"$LOG" 2>&1 ||
    { tail -40 "$LOG"; die "build failed"; }
SPLIT="${BENCH_SPLIT:-$BUILD/cli/segmora-split}"
GEN="$BUILD/bench/bench_gen"
BASE="$BUILD/bench/bench_baseline"

if [ -n "${BENCH_DIR:-}" ]; then
    WORK="$BENCH_DIR"
    mkdir -p "$WORK" || die "cannot create $WORK"
    OWN_WORK=0
else
    WORK=$(mktemp -d /tmp/segmora-bench.XXXXXX) || die "cannot create a folder under /tmp"
    OWN_WORK=1
fi
WORK=$(cd "$WORK" && pwd)
INPUT="$WORK/bench.nc"
OUT_SPLIT="$WORK/out-split"
OUT_CSPLIT="$WORK/out-csplit"
OUT_BASE="$WORK/out-baseline"
cleanup() {
    rm -rf "$OUT_SPLIT" "$OUT_CSPLIT" "$OUT_BASE" "$WORK/time.txt" "$WORK/stderr.txt"
    if [ "$OWN_WORK" = 1 ]; then rm -rf "$WORK"; fi
}
trap cleanup EXIT

echo "== generating $MB MB into $INPUT"
"$GEN" "$INPUT" "$MB" || die "the generator failed"
INPUT_BYTES=$(stat -c %s "$INPUT")
PROGRAMS=$(grep -c '^[[:space:]]*O' "$INPUT")

# One timed run of a program: empties its output folder and flushes earlier
# writes first (outside the timing), then prints "seconds max-rss-kB".
timed() {
    local out=$1
    shift
    rm -rf "$out" && mkdir -p "$out" && sync
    local start end
    start=$(date +%s%N)
    /usr/bin/time -f %M -o "$WORK/time.txt" "$@" >/dev/null 2>"$WORK/stderr.txt"
    local status=$?
    end=$(date +%s%N)
    if [ $status -ne 0 ]; then
        echo "bench: exit status $status from: $*" >&2
        cat "$WORK/stderr.txt" >&2
        return 1
    fi
    if [ -s "$WORK/stderr.txt" ]; then
        echo "bench: $1 wrote to standard error:" >&2
        head -5 "$WORK/stderr.txt" >&2
    fi
    echo "$(((end - start) / 1000)) $(tail -1 "$WORK/time.txt")"
}

declare -A best_us peak_kb failed
names=(segmora-split csplit baseline)
for name in "${names[@]}"; do
    best_us[$name]=
    peak_kb[$name]=0
    failed[$name]=0
done

run_one() {
    local name=$1 result
    case $name in
    segmora-split) result=$(timed "$OUT_SPLIT" "$SPLIT" --quiet "$INPUT" "$OUT_SPLIT") ;;
    csplit) result=$(timed "$OUT_CSPLIT" csplit -s -z -n 6 -f "$OUT_CSPLIT/p" "$INPUT" \
        '/^[[:space:]]*O/' '{*}') ;;
    baseline) result=$(timed "$OUT_BASE" "$BASE" "$INPUT" "$OUT_BASE") ;;
    esac
    if [ $? -ne 0 ] || [ -z "$result" ]; then
        failed[$name]=1
        return
    fi
    local us=${result% *} kb=${result#* }
    printf '   %-14s %8.3f s %9d kB\n' "$name" "$(calc "$us / 1000000")" "$kb"
    if [ -z "${best_us[$name]}" ] || [ "$us" -lt "${best_us[$name]}" ]; then best_us[$name]=$us; fi
    if [ "$kb" -gt "${peak_kb[$name]}" ]; then peak_kb[$name]=$kb; fi
}

# The programs take turns, so that load from elsewhere falls on all of them.
for ((round = 1; round <= RUNS; round++)); do
    echo "== round $round of $RUNS"
    for name in "${names[@]}"; do
        run_one "$name"
    done
done

# The last round's folders are still there: compare them.
echo "== output check"
split_files=$(find "$OUT_SPLIT" -type f | wc -l)
base_files=$(find "$OUT_BASE" -type f | wc -l)
csplit_files=$(find "$OUT_CSPLIT" -type f | wc -l)
echo "   program lines in the input: $PROGRAMS"
echo "   files: segmora-split $split_files, baseline $base_files, csplit $csplit_files" \
    "(csplit also writes the lines before the first program as a file of their own)"
if [ "${failed[segmora-split]}" = 1 ] || [ "${failed[baseline]}" = 1 ]; then
    identical="NOT CHECKED (a run failed)"
elif diff -r -q "$OUT_SPLIT" "$OUT_BASE" >"$WORK/stderr.txt" 2>&1; then
    identical="yes: same $split_files names, same bytes"
else
    identical="NO: $(wc -l <"$WORK/stderr.txt") differences, first: $(head -1 "$WORK/stderr.txt")"
fi
echo "   segmora-split's files identical to the baseline's: $identical"

seconds() { calc "$1 / 1000000"; }
echo
echo "== results: input $INPUT_BYTES bytes, $(wc -l <"$INPUT") lines, $PROGRAMS programs;" \
    "best of $RUNS; $(nproc) cores"
printf '   %-14s %10s %14s\n' program "wall (s)" "peak RSS (MB)"
for name in "${names[@]}"; do
    if [ "${failed[$name]}" = 1 ] || [ -z "${best_us[$name]}" ]; then
        printf '   %-14s %10s %14s\n' "$name" failed -
    else
        printf '   %-14s %10.3f %14.1f\n' "$name" "$(seconds "${best_us[$name]}")" \
            "$(calc "${peak_kb[$name]} / 1024")"
    fi
done

echo
verdict() { if [ "$1" = 1 ]; then echo PASS; else echo FAIL; fi; }
if [ -n "${best_us[segmora-split]}" ] && [ -n "${best_us[baseline]}" ]; then
    ratio=$(calc "${best_us[segmora-split]} / ${best_us[baseline]}")
    printf '   %-46s %6.2f x   %s\n' "wall time / baseline (target <= 1.30)" "$ratio" \
        "$(verdict "$(calc "$ratio <= 1.3")")"
else
    printf '   %-46s %8s   FAIL\n' "wall time / baseline (target <= 1.30)" "-"
fi
if [ -n "${best_us[segmora-split]}" ] && [ -n "${best_us[csplit]}" ]; then
    ratio=$(calc "${best_us[segmora-split]} / ${best_us[csplit]}")
    printf '   %-46s %6.2f x   %s\n' "wall time / csplit (target < 1.00)" "$ratio" \
        "$(verdict "$(calc "${best_us[segmora-split]} < ${best_us[csplit]}")")"
else
    printf '   %-46s %8s   FAIL\n' "wall time / csplit (target < 1.00)" "-"
fi
if [ -n "${best_us[segmora-split]}" ]; then
    limit_kb=$(((INPUT_BYTES * 3 / 2 + 32 * 1048576) / 1024))
    ratio=$(calc "${peak_kb[segmora-split]} / $limit_kb")
    printf '   %-46s %6.2f x   %s\n' \
        "peak RSS / (1.5 x input + 32 MiB = $((limit_kb / 1024)) MiB)" "$ratio" \
        "$(verdict "$(calc "${peak_kb[segmora-split]} <= $limit_kb")")"
else
    printf '   %-46s %8s   FAIL\n' "peak RSS / (1.5 x input + 32 MiB)" "-"
fi
echo "   output identical to the baseline's: $identical"
exit 0
