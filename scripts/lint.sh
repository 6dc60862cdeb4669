#!/usr/bin/env bash
# Checks that every source is clang-format clean and that the game code is clang-tidy clean.
set -euo pipefail
cd "$(dirname "$0")/.."
bash scripts/deps.sh build lint
mapfile -t sources < <(git ls-files '*.cpp' '*.h')
clang-format --dry-run --Werror "${sources[@]}"
echo "clang-format: ${#sources[@]} files clean"

build=build-lint
cmake -S . -B "$build" -DREFEREE_WERROR=ON -DCMAKE_BUILD_TYPE=Debug -DREFEREE_TESTS=OFF -DCMAKE_EXPORT_COMPILE_COMMANDS=ON >/dev/null
mapfile -t game < <(git ls-files 'console/*.cpp' 'state/*.cpp' 'game/*.cpp' 'rules/*.cpp' 'safety/*.cpp' 'execute/*.cpp' 'program/*.cpp')
run-clang-tidy -quiet -p "$build" -j "$(nproc)" "${game[@]}" > "$build/clang-tidy.log" 2>&1 || {
  grep -E 'warning:|error:' -A3 "$build/clang-tidy.log" | head -80
  echo "clang-tidy: findings above" >&2
  exit 1
}
echo "clang-tidy: ${#game[@]} files clean"
