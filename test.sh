#!/usr/bin/env bash
# Builds everything and runs every check, in stages:
#   tests        the test suite on the normal build (unit tests, transcripts, stress, real terminal)
#   sanitizers   the same tests built with the address and undefined-behaviour sanitizers
#   lint         clang-format and clang-tidy clean (scripts/lint.sh)
#   coverage     line and branch coverage of the game code, at least 95 % of lines
#                (scripts/coverage.sh)
#   fuzz         the fuzz target over its seed corpus, then a bounded fuzz run (scripts/fuzz.sh,
#                FUZZ_SECONDS, default 30); it runs beside lint and coverage
#   conformance  the recorded conformance cases, when they are beside the project; otherwise
#                its line says it was skipped
#
# It first installs what the stages need and the machine lacks (scripts/deps.sh says what).
# Each stage prints one line with its time and result; its whole output goes to a log file in its
# build folder, and the end of that log is shown when the stage fails. The last line counts the
# stages: "N passed, N failed", and ", 1 skipped" when the conformance kit is not there. The exit
# status is 0 only when every stage that ran passed.
set -uo pipefail
cd "$(dirname "$0")"
jobs="$(nproc)"

bash scripts/deps.sh test lint fuzz coverage || exit 1

passed=0
failed=0
skipped=0
# run_stage NAME LOG COMMAND...: runs COMMAND with its output in LOG, prints the stage's line (and
# the end of LOG when it failed) and returns COMMAND's status.
run_stage() {
  local name="$1" log="$2" start=$SECONDS status=0
  shift 2
  mkdir -p "$(dirname "$log")"
  "$@" >"$log" 2>&1 || status=$?
  if [ "$status" -eq 0 ]; then
    printf '%-12s %4d s  passed\n' "$name" $((SECONDS - start))
  else
    printf '%-12s %4d s  FAILED (log: %s)\n' "$name" $((SECONDS - start)) "$log"
    tail -n 60 "$log" | sed 's/^/    /'
  fi
  return "$status"
}
count() { if [ "$1" -eq 0 ]; then passed=$((passed + 1)); else failed=$((failed + 1)); fi; }
stage() {
  local status=0
  run_stage "$@" || status=$?
  count "$status"
}

tests() {
  cmake -S . -B build -DREFEREE_WERROR=ON -DCMAKE_BUILD_TYPE=Release -DREFEREE_TESTS=ON &&
    cmake --build build -j"$jobs" &&
    (cd build && ctest --output-on-failure -j"$jobs")
}
sanitizers() {
  cmake -S . -B build-sanitize -DREFEREE_WERROR=ON -DCMAKE_BUILD_TYPE=Debug -DREFEREE_SANITIZE=ON -DREFEREE_TESTS=ON &&
    cmake --build build-sanitize -j"$jobs" &&
    (cd build-sanitize && ASAN_OPTIONS=detect_leaks=1 UBSAN_OPTIONS=print_stacktrace=1 \
      ctest --output-on-failure -j"$jobs")
}

stage tests build/test.log tests
stage sanitizers build-sanitize/test.log sanitizers
# The fuzz run keeps one core busy for its whole time, so it goes on beside lint and coverage; its
# line comes after theirs.
mkdir -p build-fuzz
run_stage fuzz build-fuzz/fuzz.log bash scripts/fuzz.sh "${FUZZ_SECONDS:-30}" >build-fuzz/stage.txt &
fuzz=$!
stage lint build-lint/lint.log bash scripts/lint.sh
stage coverage build-coverage/coverage.log bash scripts/coverage.sh 95
status=0
wait "$fuzz" || status=$?
cat build-fuzz/stage.txt
count "$status"
kit=../shared/conformance/check.py
if [ -f "$kit" ]; then
  stage conformance build/conformance.log python3 "$kit" build/referee
else
  printf '%-12s %s\n' conformance "skipped (no ../shared/conformance)"
  skipped=$((skipped + 1))
fi

if [ "$skipped" -eq 0 ]; then
  echo "$passed passed, $failed failed"
else
  echo "$passed passed, $failed failed, $skipped skipped"
fi
[ "$failed" -eq 0 ]
