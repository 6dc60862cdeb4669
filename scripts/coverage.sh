#!/usr/bin/env bash
# Line and branch coverage of the game code under the test suite (gcovr; scripts/deps.sh installs
# it, and says so, when it is missing).
# Fails when line coverage falls below the floor given as first argument (default 95).
set -euo pipefail
cd "$(dirname "$0")/.."
floor="${1:-95}"
bash scripts/deps.sh test coverage
build=build-coverage
cmake -S . -B "$build" -DREFEREE_WERROR=ON -DCMAKE_BUILD_TYPE=Debug -DREFEREE_COVERAGE=ON -DREFEREE_TESTS=ON >/dev/null
cmake --build "$build" -j"$(nproc)"
find "$build" -name '*.gcda' -delete
(cd "$build" && ctest --output-on-failure -j"$(nproc)" >/dev/null)
filters=(--filter 'console/' --filter 'state/' --filter 'game/' --filter 'program/' --filter 'rules/' --filter 'safety/' --filter 'execute/')
gcovr -r . "$build" "${filters[@]}" --exclude-unreachable-branches --exclude-throw-branches \
  --print-summary --fail-under-line "$floor" -o "$build/summary.txt"
gcovr -r . "$build" "${filters[@]}" --branches -o "$build/branches.txt"
echo "per-file reports: $build/summary.txt (lines), $build/branches.txt (branches)"
