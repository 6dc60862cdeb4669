#!/usr/bin/env bash
# The referee in a browser: builds the program with emscripten into build-web/ and writes the
# static site to build-web/site/ (index.html, main.js, referee.js and referee.wasm, xterm.js and
# its fit addon, the font cut to the game's glyphs, the app's manifest, icons and service worker)
# and a ZIP of it; build-web/referee-node runs the same module under node on standard input and
# output. Installs what it needs first and says what (Debian's emscripten, node, npm,
# fonts-dejavu-core, python3-fonttools and python3-brotli; the npm packages of web/package.json).
#
#   scripts/web.sh           build the site
#   scripts/web.sh --test    then check it: every conformance kit input through the WebAssembly
#                            build under node, byte for byte against the native build, and the
#                            kit itself (when ../shared/conformance exists); then the page in
#                            headless Chromium (installed when missing) against the native build.
#                            Prints each step's time, and the page's weight and time to its first
#                            prompt on a cold load.
#
# Serve the site locally with: python3 -m http.server --bind 127.0.0.1 -d build-web/site
# (then open http://127.0.0.1:8000/).
set -euo pipefail
cd "$(dirname "$0")/.."
test_too=0
case "${1:-}" in
--test) test_too=1 ;;
"") ;;
*) echo "usage: scripts/web.sh [--test]" >&2; exit 2 ;;
esac
if [ "$test_too" -eq 1 ]; then bash scripts/deps.sh build web browser; else bash scripts/deps.sh web; fi
build=build-web
site="$build/site"
times=()
step_start=$SECONDS
step_done() { times+=("$1: $((SECONDS - step_start)) s"); step_start=$SECONDS; }
# The Python that has Debian's fontTools (the one on PATH may be another).
fonttools_python=python3
if ! python3 -c 'import fontTools, brotli' 2>/dev/null && [ -x /usr/bin/python3 ]; then
  fonttools_python=/usr/bin/python3
fi
# Debian's emscripten runs its tools with node and finds their modules (acorn) here.
export NODE_PATH=/usr/share/nodejs${NODE_PATH:+:$NODE_PATH}

if [ ! -f web/node_modules/.package-lock.json ] || [ web/package-lock.json -nt web/node_modules/.package-lock.json ]; then
  echo "installing npm packages into web/node_modules: @xterm/xterm @xterm/addon-fit puppeteer-core"
  mkdir -p "$build"
  (cd web && npm ci --no-audit --no-fund) >"$build/npm.log" 2>&1 || { cat "$build/npm.log" >&2; exit 1; }
fi

echo "== WebAssembly build"
mkdir -p "$build"
log="$build/build.log"
if ! { emcmake cmake -S . -B "$build" -DREFEREE_WERROR=ON -DCMAKE_BUILD_TYPE=Release -DREFEREE_TESTS=OFF &&
  cmake --build "$build" -j"$(nproc)"; } >"$log" 2>&1; then
  cat "$log" >&2
  echo "web.sh: the build failed (log: $log)" >&2
  exit 1
fi
install -m 755 web/node-runner.js "$build/referee-node"
rm -rf "$site"
mkdir -p "$site"
cp web/index.html web/main.js web/manifest.webmanifest "$build/referee.js" "$build/referee.wasm" \
  "$site/"
# xterm.js and its addon as their ES module builds, the smallest, under names that every server
# types as JavaScript.
cp web/node_modules/@xterm/xterm/lib/xterm.mjs "$site/xterm.js"
cp web/node_modules/@xterm/addon-fit/lib/addon-fit.mjs "$site/addon-fit.js"
cp web/node_modules/@xterm/xterm/css/xterm.css "$site/"
mkdir -p "$site/licenses"
cp LICENSE "$site/licenses/referee.txt"
cp web/node_modules/@xterm/xterm/LICENSE "$site/licenses/xterm.js.txt"
cp web/node_modules/@xterm/addon-fit/LICENSE "$site/licenses/xterm-addon-fit.txt"
cp /usr/share/doc/fonts-dejavu-core/copyright "$site/licenses/dejavu-fonts.txt"
# The font cut to the game's glyphs, the icons, and last the service worker with the list of
# every file above.
if ! "$fonttools_python" web/site.py "$site" /usr/share/fonts/truetype/dejavu/DejaVuSansMono.ttf \
  console/text_console.cpp web/sw.js; then
  echo "web.sh: the site's font, icons or service worker could not be made" >&2
  exit 1
fi
version="$(sed -n 's/^project(referee VERSION \([0-9.]*\).*/\1/p' CMakeLists.txt)"
zip="$build/referee-web-$version.zip"
rm -f "$build"/referee-web-*.zip
(cd "$site" && python3 -m zipfile -c "../$(basename "$zip")" ./*)
echo "site: $site ($(du -sh "$site" | cut -f1)), ZIP: $zip"
step_done "build and site"

if [ "$test_too" -eq 1 ]; then
  # The native program from the same sources is the reference.
  if ! { [ -f build/CMakeCache.txt ] || cmake -S . -B build -DREFEREE_WERROR=ON -DCMAKE_BUILD_TYPE=Release -DREFEREE_TESTS=OFF; } >"$build/native.log" 2>&1 ||
    ! cmake --build build --target referee -j"$(nproc)" >>"$build/native.log" 2>&1; then
    cat "$build/native.log" >&2
    echo "web.sh: the native build failed" >&2
    exit 1
  fi
  status=0
  kit=../shared/conformance
  if [ -d "$kit" ]; then
    echo "== conformance kit under node"
    python3 web/test/same_bytes.py build/referee "$build/referee-node" "$kit" || status=1
    # The kit's own verdict: every case matches.
    python3 "$kit/check.py" "$build/referee-node" || status=1
    step_done "kit under node"
  else
    echo "== conformance kit: skipped (no $kit)"
  fi
  echo "== the page in headless Chromium"
  REFEREE_SITE="$site" REFEREE_NATIVE=build/referee REFEREE_SHOT="$build/web.png" \
    REFEREE_PHONE_SHOT="$build/phone.png" node --test web/test/ | tee "$build/browser.log" || status=1
  step_done "browser test"
  # The page's weight and time on a cold load, as the browser test measured them.
  weight="$(sed -n 's/^# \(first load: .*\)/\1/p' "$build/browser.log")"
  times+=("${weight:-first load: not measured}")
fi
printf 'web.sh: %s\n' "${times[@]}"
exit "${status:-0}"
