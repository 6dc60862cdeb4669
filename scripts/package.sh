#!/usr/bin/env bash
# Builds a Release referee in build-package/ and makes the Debian package with CPack; prints its
# path. When lintian is installed it checks the package (pedantic tags included) and the script
# fails on any error or warning; its report is in build-package/lintian.log.
set -euo pipefail
cd "$(dirname "$0")/.."
bash scripts/deps.sh build package
build="build-package"

mkdir -p "$build"
cmake -S . -B "$build" -DREFEREE_WERROR=ON -DCMAKE_BUILD_TYPE=Release -DREFEREE_TESTS=OFF -DREFEREE_BENCH=OFF \
  -DREFEREE_FUZZ=OFF -DREFEREE_SANITIZE=OFF -DREFEREE_COVERAGE=OFF -DREFEREE_HARDEN=ON \
  -DREFEREE_INSTALL_DIR=games >"$build/configure.log" 2>&1 || {
  cat "$build/configure.log" >&2
  exit 1
}
# The changelog's latest entry must be the version being packaged.
version="$(sed -n 's/^set(CPACK_PACKAGE_VERSION "\(.*\)")$/\1/p' "$build/CPackConfig.cmake")"
entry="$(sed -n '1s/^referee (\([^)]*\)).*/\1/p' packaging/changelog)"
if [ "$version" != "$entry" ]; then
  echo "package.sh: packaging/changelog starts with version '$entry', the package is '$version'" >&2
  exit 1
fi
if ! cmake --build "$build" -j"$(nproc)" >"$build/build.log" 2>&1; then
  cat "$build/build.log" >&2
  exit 1
fi
rm -f "$build"/referee_*.deb
if ! (cd "$build" && cpack -G DEB >cpack.log 2>&1); then
  cat "$build/cpack.log" >&2
  exit 1
fi
deb="$(cd "$build" && pwd)/$(cd "$build" && ls referee_*.deb)"

if command -v lintian >/dev/null 2>&1; then
  # --fail-on makes lintian's own status tell whether it found an error or a warning.
  # (Its note that it runs as root is left out.)
  if lintian --pedantic --display-info --display-experimental --fail-on error,warning "$deb" 2>&1 |
    grep -v 'running with root privileges' >"$build/lintian.log"; [ "${PIPESTATUS[0]}" -eq 0 ]; then
    if [ -s "$build/lintian.log" ]; then
      sed 's/^/lintian: /' "$build/lintian.log"
    else
      echo "lintian: clean (no error, warning, info or pedantic tag)"
    fi
  else
    sed 's/^/lintian: /' "$build/lintian.log" >&2
    echo "package.sh: lintian found errors or warnings in $deb" >&2
    exit 1
  fi
else
  echo "lintian is not installed, so the package was not checked (apt-get install lintian)"
fi
echo "$deb"
