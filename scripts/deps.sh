#!/usr/bin/env bash
# Installs, with apt-get, the Debian packages that the named tasks need and the machine lacks, and
# says which ones before it installs anything. Nothing is printed when all is there.
#
#   scripts/deps.sh [TASK...]     TASK: build (the default), test, lint, fuzz, coverage, bench,
#                                 package, screenshot, clang (Clang 14 with libc++), windows
#                                 (the MinGW-w64 cross compiler and wine), web (emscripten, node,
#                                 npm, the font of the web page and fontTools to cut it),
#                                 browser (Chromium)
#
# The apt-get output goes to build/apt.log and is shown only when the install fails.
set -euo pipefail
cd "$(dirname "$0")/.."
[ "$#" -gt 0 ] || set -- build

need=()
add() { # PACKAGE: once each
  local p
  for p in "${need[@]}"; do [ "$p" = "$1" ] && return; done
  need+=("$1")
}
cmd() { command -v "$1" >/dev/null 2>&1 || add "$2"; }              # COMMAND PACKAGE
has() { [ -e "$1" ] || add "$2"; }                                 # PATH PACKAGE
pkg() { dpkg-query -W -f='${Status}' "$1" 2>/dev/null | grep -q 'ok installed' || add "$1"; }
fuzzer_links() {
  local dir
  dir="$(mktemp -d)"
  printf 'extern "C" int LLVMFuzzerTestOneInput(const unsigned char*, unsigned long) { return 0; }\n' \
    >"$dir/probe.cpp"
  clang++ -fsanitize=fuzzer,address,undefined "$dir/probe.cpp" -o "$dir/probe" >/dev/null 2>&1
  local status=$?
  rm -rf "$dir"
  return "$status"
}

for task in "$@"; do
  case "$task" in
  build)
    cmd cmake cmake
    cmd g++ g++
    ;;
  test)
    cmd cmake cmake
    cmd g++ g++
    has /usr/include/gtest/gtest.h libgtest-dev
    cmd tmux tmux
    cmd python3 python3
    ;;
  lint)
    cmd clang-format clang-format
    cmd clang-tidy clang-tidy
    cmd run-clang-tidy clang-tidy
    ;;
  fuzz)
    cmd clang++ clang
    # The libFuzzer runtime comes apart from the compiler.
    if ! command -v clang++ >/dev/null 2>&1 || ! fuzzer_links; then add libclang-rt-dev; fi
    ;;
  coverage)
    cmd gcovr gcovr
    ;;
  bench)
    has /usr/include/benchmark/benchmark.h libbenchmark-dev
    cmd valgrind valgrind
    cmd strace strace
    has /usr/bin/time time
    ;;
  package)
    cmd dpkg-deb dpkg
    cmd dpkg-shlibdeps dpkg-dev
    cmd gzip gzip
    ;;
  screenshot)
    cmd xterm xterm
    cmd Xvfb xvfb
    cmd xdotool xdotool
    pkg imagemagick
    pkg fonts-dejavu-core
    ;;
  clang)
    cmd cmake cmake
    cmd clang++-14 clang-14
    has /usr/lib/llvm-14/include/c++/v1/vector libc++-14-dev
    has /usr/lib/llvm-14/lib/libc++abi.so libc++abi-14-dev
    has /usr/src/googletest/CMakeLists.txt googletest
    ;;
  windows)
    cmd cmake cmake
    cmd x86_64-w64-mingw32-g++-posix g++-mingw-w64-x86-64-posix
    cmd wine wine
    has /usr/src/googletest/CMakeLists.txt googletest
    cmd python3 python3
    ;;
  web)
    cmd cmake cmake
    cmd emcc emscripten
    cmd node nodejs
    cmd npm npm
    cmd python3 python3
    has /usr/share/fonts/truetype/dejavu/DejaVuSansMono.ttf fonts-dejavu-core
    pkg python3-fonttools # cuts the page's font to the game's glyphs
    pkg python3-brotli # packs it as WOFF2
    ;;
  browser)
    cmd chromium chromium
    ;;
  *)
    echo "deps.sh: unknown task '$task'" >&2
    exit 2
    ;;
  esac
done

[ "${#need[@]}" -gt 0 ] || exit 0
echo "installing with apt-get (for $*): ${need[*]}"
mkdir -p build
log=build/apt.log
if ! { apt-get update && DEBIAN_FRONTEND=noninteractive apt-get install -y --no-install-recommends \
  "${need[@]}"; } >"$log" 2>&1; then
  cat "$log" >&2
  echo "deps.sh: apt-get could not install ${need[*]} (log: $log)" >&2
  exit 1
fi
