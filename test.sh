#!/usr/bin/env bash
# Builds everything and runs every check:
#   1. the test suite on the normal build (unit tests, transcripts, stress, real terminal);
#   2. the same tests built with the address and undefined-behaviour sanitizers;
#   3. clang-format and clang-tidy clean;
#   4. the fuzz target over its seed corpus, then a short bounded fuzz run (FUZZ_SECONDS, 30);
#   5. line and branch coverage of the game code, at least 95 % of lines;
#   6. the recorded conformance cases, when they are beside the project.
set -euo pipefail
cd "$(dirname "$0")"
bash scripts/deps.sh
jobs="$(nproc)"

echo "== tests"
cmake -S . -B build -DCMAKE_BUILD_TYPE=Release -DREFEREE_TESTS=ON >/dev/null
cmake --build build -j"$jobs"
(cd build && ctest --output-on-failure -j"$jobs")

echo "== tests, sanitizer build"
cmake -S . -B build-sanitize -DCMAKE_BUILD_TYPE=Debug -DREFEREE_SANITIZE=ON -DREFEREE_TESTS=ON >/dev/null
cmake --build build-sanitize -j"$jobs"
(cd build-sanitize && ASAN_OPTIONS=detect_leaks=1 UBSAN_OPTIONS=print_stacktrace=1 \
  ctest --output-on-failure -j"$jobs")

echo "== lint"
bash scripts/lint.sh

echo "== fuzz"
bash scripts/fuzz.sh "${FUZZ_SECONDS:-30}"

echo "== coverage"
bash scripts/coverage.sh 95

kit=../shared/conformance/check.py
if [ -f "$kit" ] && command -v python3 >/dev/null 2>&1; then
  echo "== conformance"
  python3 "$kit" build/referee
fi
