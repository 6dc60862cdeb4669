#!/usr/bin/env bash
# Builds everything and runs all tests: the normal build, then the same tests built with the
# address and undefined-behaviour sanitizers, then the recorded conformance cases when present.
set -euo pipefail
cd "$(dirname "$0")"
bash scripts/deps.sh
jobs="$(nproc)"

cmake -S . -B build -DCMAKE_BUILD_TYPE=Release -DREFEREE_TESTS=ON >/dev/null
cmake --build build -j"$jobs"
(cd build && ctest --output-on-failure -j"$jobs")

cmake -S . -B build-sanitize -DCMAKE_BUILD_TYPE=Debug -DREFEREE_SANITIZE=ON -DREFEREE_TESTS=ON >/dev/null
cmake --build build-sanitize -j"$jobs"
(cd build-sanitize && ASAN_OPTIONS=detect_leaks=1 UBSAN_OPTIONS=print_stacktrace=1 ctest --output-on-failure -j"$jobs")

kit=../shared/conformance/check.py
if [ -f "$kit" ] && command -v python3 >/dev/null 2>&1; then
  python3 "$kit" build/referee
fi
