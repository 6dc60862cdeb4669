#!/usr/bin/env bash
# Builds a Release referee in build-package/ and makes the Debian package; prints its path.
set -euo pipefail
cd "$(dirname "$0")/.."
bash scripts/deps.sh
command -v dpkg-deb >/dev/null 2>&1 || { echo "package.sh: dpkg-deb is needed to build a .deb" >&2; exit 1; }
build="build-package"
cmake -S . -B "$build" -DCMAKE_BUILD_TYPE=Release -DREFEREE_TESTS=OFF -DREFEREE_BENCH=OFF \
  -DREFEREE_FUZZ=OFF -DREFEREE_SANITIZE=OFF -DREFEREE_COVERAGE=OFF >/dev/null
cmake --build "$build" --target referee -j"$(nproc)" >/dev/null
rm -f "$build"/referee_*.deb
if ! (cd "$build" && cpack -G DEB >cpack.log 2>&1); then
  cat "$build/cpack.log" >&2
  exit 1
fi
deb="$(ls "$build"/referee_*.deb)"
echo "$(cd "$(dirname "$deb")" && pwd)/$(basename "$deb")"
