#!/usr/bin/env bash
# Builds the referee if needed and starts a game on this terminal. The first run installs what
# the build needs (scripts/deps.sh says what) and builds in build/; the compiler's output goes to
# build/play-build.log and is shown only when the build fails.
set -euo pipefail
cd "$(dirname "$0")"
log=build/play-build.log
build() {
  if ! "$@" >"$log" 2>&1; then
    cat "$log" >&2
    echo "play.sh: the build failed (the output above is in $log)" >&2
    exit 1
  fi
}
if [ ! -x build/referee ]; then
  bash scripts/deps.sh build
  echo "Building the referee in build/ (first run only, under a minute)..." >&2
  mkdir -p build
  build cmake -S . -B build -DCMAKE_BUILD_TYPE=Release -DREFEREE_TESTS=OFF
fi
build cmake --build build --target referee -j"$(nproc)"
exec build/referee "$@"
