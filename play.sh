#!/usr/bin/env bash
# Builds the referee if needed and starts a game on this terminal.
set -euo pipefail
cd "$(dirname "$0")"
if [ ! -x build/referee ]; then
  bash scripts/deps.sh
  cmake -S . -B build -DCMAKE_BUILD_TYPE=Release -DREFEREE_TESTS=OFF >/dev/null
fi
cmake --build build --target referee -j"$(nproc)" >/dev/null
exec build/referee
