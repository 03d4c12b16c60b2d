#!/usr/bin/env bash
# Builds the file readers' libFuzzer targets with clang in build-fuzz/ and runs each for SECONDS,
# at most JOBS at a time and at low priority; prints executions, coverage and findings per
# reader. The corpus grows in build-fuzz/corpus/<reader>/ from run to run; inputs that break a
# reader land in build-fuzz/findings/<reader>/ (replay one: build-fuzz/fuzz/fuzz_<reader>
# FILE; keep it as a regression input in tests/fuzz/regressions/<reader>/ once fixed).
#   scripts/fuzz.sh [-j JOBS] [SECONDS] [READER...]
#   readers: bzobj obj mtl midi markers campath (default: all); SECONDS defaults to 60
# Exit status 1 when any reader had a finding.
set -euo pipefail
cd "$(dirname "$0")/.."

all_readers=(bzobj obj mtl midi markers campath)
jobs=2
seconds=60
readers=()
while [[ $# -gt 0 ]]; do
    case "$1" in
        -j)
            jobs=$2
            shift 2
            ;;
        -j*)
            jobs=${1#-j}
            shift
            ;;
        -h | --help)
            sed -n '2,9p' "$0" | sed 's/^# \{0,1\}//'
            exit 0
            ;;
        *)
            if [[ $1 =~ ^[0-9]+$ ]]; then
                seconds=$1
            elif [[ " ${all_readers[*]} " == *" $1 "* ]]; then
                readers+=("$1")
            else
                echo "fuzz.sh: unknown reader or option \"$1\" (readers: ${all_readers[*]})" >&2
                exit 2
            fi
            shift
            ;;
    esac
done
[[ ${#readers[@]} -gt 0 ]] || readers=("${all_readers[@]}")
[[ $jobs =~ ^[1-9][0-9]*$ ]] || { echo "fuzz.sh: -j needs a positive number" >&2; exit 2; }

build_dir=${FUZZ_BUILD_DIR:-build-fuzz}
scripts/install-deps.sh --fuzz
cc=""
for candidate in clang-14 clang; do
    if command -v "$candidate" >/dev/null; then
        cc=$candidate
        break
    fi
done
if [[ -z $cc ]]; then
    echo "fuzz.sh: clang is needed (libFuzzer): apt-get install clang-14 libclang-rt-14-dev" >&2
    exit 2
fi
cxx=${cc/clang/clang++}

cmake -S . -B "$build_dir" -DCMAKE_BUILD_TYPE=RelWithDebInfo -DVANTOR_FUZZING=ON \
    -DVANTOR_BUILD_TESTS=OFF -DCMAKE_C_COMPILER="$cc" -DCMAKE_CXX_COMPILER="$cxx" >/dev/null
nice -n 10 cmake --build "$build_dir" -j "$jobs" --target fuzzers

# Seeds are made afresh from the hand-made files and the generated content.
rm -rf "$build_dir/seeds"
"$build_dir/fuzz/fuzz_make_corpus" tests/fuzz/seeds data "$build_dir/seeds"
mkdir -p "$build_dir/logs"

export ASAN_OPTIONS=${ASAN_OPTIONS:-detect_leaks=1:allocator_may_return_null=0}
export UBSAN_OPTIONS=${UBSAN_OPTIONS:-print_stacktrace=1:halt_on_error=1}

run_one() {
    local reader=$1
    local corpus="$build_dir/corpus/$reader" findings="$build_dir/findings/$reader"
    mkdir -p "$corpus" "$findings" "$build_dir/seeds/$reader"
    local args=(-max_total_time="$seconds" -timeout=10 -rss_limit_mb=2048 -print_final_stats=1
        -artifact_prefix="$findings/")
    [[ -f fuzz/dicts/$reader.dict ]] && args+=(-dict="fuzz/dicts/$reader.dict")
    # Text readers: long inputs only slow the search down.
    case "$reader" in
        obj | markers | campath) args+=(-max_len=16384) ;;
        mtl) args+=(-max_len=4096) ;;
    esac
    nice -n 10 "$build_dir/fuzz/fuzz_$reader" "${args[@]}" "$corpus" \
        "$build_dir/seeds/$reader" >"$build_dir/logs/$reader.log" 2>&1
}

echo "# fuzzing ${readers[*]} for ${seconds} s each, ${jobs} at a time"
stamp="$build_dir/logs/started"
touch "$stamp"
declare -A status
running=0
for reader in "${readers[@]}"; do
    if [[ $running -ge $jobs ]]; then
        wait -n || true
        running=$((running - 1))
    fi
    (
        s=0
        run_one "$reader" || s=$?
        echo "$s" >"$build_dir/logs/$reader.status"
    ) &
    running=$((running + 1))
done
wait

failed=0
printf '%-8s %12s %8s %8s %10s %9s\n' reader executions cov features corpus findings
for reader in "${readers[@]}"; do
    log="$build_dir/logs/$reader.log"
    status[$reader]=$(cat "$build_dir/logs/$reader.status" 2>/dev/null || echo 1)
    execs=$(sed -n 's/^stat::number_of_executed_units: *//p' "$log" | tail -1)
    last=$(grep -E '^#[0-9]+' "$log" | grep 'cov:' | tail -1 || true)
    cov=$(sed -n 's/.* cov: \([0-9]*\).*/\1/p' <<<"$last")
    ft=$(sed -n 's/.* ft: \([0-9]*\).*/\1/p' <<<"$last")
    corp=$(sed -n 's/.* corp: \([0-9]*\/[0-9]*[a-zA-Z]*\).*/\1/p' <<<"$last")
    found=$(find "$build_dir/findings/$reader" -type f -newer "$stamp" | wc -l)
    printf '%-8s %12s %8s %8s %10s %9s\n' "$reader" "${execs:-?}" "${cov:-?}" "${ft:-?}" \
        "${corp:-?}" "$found"
    if [[ ${status[$reader]} != 0 || $found -gt 0 ]]; then
        failed=1
        echo "#   $reader: exit status ${status[$reader]}; see $log" >&2
    fi
done
exit $failed
