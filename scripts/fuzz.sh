#!/usr/bin/env bash
# Builds the libFuzzer target in build-fuzz/ (clang, address and undefined-behaviour sanitizers),
# replays the seed corpus in fuzz/corpus/, then fuzzes for a bounded time. Fails on any crash.
#
#   scripts/fuzz.sh [SECONDS]     # or FUZZ_SECONDS=SECONDS scripts/fuzz.sh; default 60, 0 = replay only
#
# New inputs the fuzzer finds go to a scratch directory (FUZZ_WORK, default build-fuzz/work), never
# into fuzz/corpus/; crash reproducers are written there as crash-*.
set -euo pipefail
cd "$(dirname "$0")/.."

seconds="${1:-${FUZZ_SECONDS:-60}}"
case "$seconds" in
'' | *[!0-9]*)
  echo "fuzz.sh: seconds must be a whole number, got '$seconds'" >&2
  exit 2
  ;;
esac

bash scripts/deps.sh build fuzz

cmake -S . -B build-fuzz -DREFEREE_WERROR=ON -DCMAKE_CXX_COMPILER=clang++ -DCMAKE_BUILD_TYPE=Debug \
  -DREFEREE_FUZZ=ON -DREFEREE_TESTS=OFF -DREFEREE_BENCH=OFF >/dev/null
cmake --build build-fuzz --target fuzz_referee -j"$(nproc)"

target=build-fuzz/fuzz/fuzz_referee
work="${FUZZ_WORK:-build-fuzz/work}"
mkdir -p "$work/corpus" "$work/artifacts"
export ASAN_OPTIONS="${ASAN_OPTIONS:-detect_leaks=1:abort_on_error=1}"
export UBSAN_OPTIONS="${UBSAN_OPTIONS:-print_stacktrace=1:halt_on_error=1}"
common=(-max_len=4096 -timeout=10 -rss_limit_mb=2048 -artifact_prefix="$work/artifacts/")

echo "== replaying fuzz/corpus"
"$target" "${common[@]}" -runs=0 fuzz/corpus

if [ "$seconds" -gt 0 ]; then
  echo "== fuzzing for ${seconds}s (new inputs in $work/corpus)"
  # The first directory receives new inputs; fuzz/corpus is only read.
  "$target" "${common[@]}" -max_total_time="$seconds" -print_final_stats=1 \
    "$work/corpus" fuzz/corpus
fi
echo "fuzz: no crash"
