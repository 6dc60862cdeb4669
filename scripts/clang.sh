#!/usr/bin/env bash
# The second toolchain: the library and the tests built with Clang 14 and libc++ (what macOS
# builds with), warnings as errors, and the test suite run. GoogleTest is built from its sources
# with the same standard library. Installs the toolchain when it is missing (scripts/deps.sh).
set -euo pipefail
cd "$(dirname "$0")/.."
bash scripts/deps.sh clang
jobs="$(nproc)"
build=build-clang
start=$SECONDS
cmake -S . -B "$build" -DREFEREE_WERROR=ON -DCMAKE_BUILD_TYPE=Release -DREFEREE_TESTS=ON \
  -DCMAKE_C_COMPILER=clang-14 -DCMAKE_CXX_COMPILER=clang++-14 \
  -DCMAKE_CXX_FLAGS=-stdlib=libc++ -DCMAKE_EXE_LINKER_FLAGS=-stdlib=libc++ \
  -DREFEREE_GTEST_SOURCE=/usr/src/googletest >/dev/null
cmake --build "$build" -j"$jobs"
if ! ldd "$build/referee" | grep -q 'libc++\.so'; then
  echo "clang.sh: $build/referee is not linked with libc++" >&2
  exit 1
fi
echo "clang.sh: built in $((SECONDS - start)) s"
start=$SECONDS
(cd "$build" && ctest --output-on-failure -j"$jobs")
echo "clang.sh: tests passed in $((SECONDS - start)) s"
