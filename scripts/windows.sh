#!/usr/bin/env bash
# The Windows build, checked on this machine: installs the MinGW-w64 cross compiler and wine when
# they are missing; cross-builds a statically linked referee.exe, the test suite (GoogleTest from
# its sources) and the ZIP; then, under wine, runs the unit tests and golden transcripts, a game
# on the compact board in both encodings, checks that a --save record which is also standard input
# or output is refused, and runs the conformance kit's C-locale cases (when the kit is beside the
# project). Prints each step's time.
# Wine's console is not that of Windows, so the console's own decisions are covered by unit tests;
# here standard input and output are files and pipes.
set -euo pipefail
cd "$(dirname "$0")/.."
bash scripts/deps.sh windows
jobs="$(nproc)"
build=build-windows
times=()
step_start=$SECONDS
step_done() { times+=("$1: $((SECONDS - step_start)) s"); step_start=$SECONDS; }

echo "== cross build"
cmake -S . -B "$build" -DREFEREE_WERROR=ON -DCMAKE_TOOLCHAIN_FILE=cmake/mingw-w64-x86_64.cmake \
  -DCMAKE_BUILD_TYPE=Release -DREFEREE_TESTS=ON -DREFEREE_GTEST_SOURCE=/usr/src/googletest >/dev/null
cmake --build "$build" -j"$jobs"
# Static: nothing but the system's own DLLs may be imported.
dlls="$(x86_64-w64-mingw32-objdump -p "$build/referee.exe" | sed -n 's/^\s*DLL Name: //p' | sort -u)"
if grep -viE '^(kernel32|msvcrt|user32|advapi32|ws2_32|ucrtbase|api-ms-win-.*)\.dll$' <<<"$dlls"; then
  echo "windows.sh: referee.exe needs the DLLs above" >&2
  exit 1
fi
rm -f "$build"/referee-*.zip
(cd "$build" && cpack -G ZIP >cpack.log 2>&1) || { cat "$build/cpack.log" >&2; exit 1; }
zip="$(ls "$build"/referee-*-win64.zip)"
python3 - "$zip" <<'PY'
import sys, zipfile
names = sorted(zipfile.ZipFile(sys.argv[1]).namelist())
if names != ['README.txt', 'referee.exe']:
    sys.exit('windows.sh: the ZIP holds %s' % names)
print('%s: %s' % (sys.argv[1], ' '.join(names)))
PY
step_done "cross build and ZIP"

echo "== unit tests and golden transcripts under wine"
export WINEPREFIX="$PWD/$build/wine" WINEDEBUG=-all
mkdir -p "$WINEPREFIX"
# One server for all runs, then a new prefix set up and a first run whose standard error is
# shown; cold, every run would pay seconds and the kit's cases would time out. That run reads no
# input, and a game without input ends with status 1.
wineserver -k >/dev/null 2>&1 || true # one left over from an earlier run of this prefix
wineserver -p
trap 'exec 9>&- ; wineserver -k >/dev/null 2>&1 || true' EXIT
[ -f "$WINEPREFIX/system.reg" ] || wineboot --init
status=0
wine "$build/referee.exe" </dev/null >/dev/null || status=$?
[ "$status" -eq 1 ] || { echo "windows.sh: referee.exe ended with status $status" >&2; exit 1; }
# Wine stops its system services when no program of the prefix runs, and the next program starts
# them again with its own standard output and error: a run on pipes then keeps them open after it
# ends, and its reader (a kit case) waits until it times out. A referee that waits for input for
# the whole script keeps the services up; closing its input at the exit ends it.
rm -f "$build/keeper.fifo"
mkfifo "$build/keeper.fifo"
wine "$build/referee.exe" <"$build/keeper.fifo" >/dev/null 2>&1 &
exec 9>"$build/keeper.fifo"
wine "$build/tests/referee_tests.exe" --gtest_brief=1
wine "$build/tests/referee_terminal_tests.exe" --gtest_brief=1
step_done "wine tests"

echo "== the compact board under wine, code page 437 and UTF-8"
# A few moves and a check: both encodings show the same text, the compact board's rows in it.
printf '14\ne2e4d\nf7f6d\nd1h5d\n0\n' >"$build/compact.in"
for glyphs in cp437 utf-8; do
  status=0
  wine "$build/referee.exe" --board=compact --glyphs=$glyphs <"$build/compact.in" >"$build/compact-$glyphs.out" || status=$?
  [ "$status" -eq 1 ] || { echo "windows.sh: --board=compact --glyphs=$glyphs ended with status $status" >&2; exit 1; }
done
python3 - "$build/compact-cp437.out" "$build/compact-utf-8.out" <<'PY'
import sys
raw = open(sys.argv[1], 'rb').read().decode('cp437')
utf8 = open(sys.argv[2], 'rb').read().decode('utf-8')
if raw != utf8:
    sys.exit('windows.sh: the compact board differs between code page 437 and UTF-8')
nb, dk = '\u00a0', '\u2592'
for row in ('\t 8 %sT%s%sK%s' % (nb, nb, dk, dk), '\t 1 %st%s%sk%s%sf%s%s%s%s' % (dk, dk, nb, nb, dk, dk, nb, nb, nb),
            '\t U 8  T 2  K 2  F 2  D 1  M 1\n', 'SHAH!!! I VOGLI I DHA SHAH TE MADHIT ME FILV OSE DAMEV'):
    if row not in utf8:
        sys.exit('windows.sh: the compact board lacks %r' % row)
print('compact board: the same in both encodings, %d characters' % len(utf8))
PY
step_done "compact board under wine"

echo "== a record that is also standard input or output, under wine"
# Wine's redirected handles do not answer every identity call; the record must still be refused,
# with status 2, and left as the shell left it (emptied by >, nothing added).
(
  cd "$build"
  for redirect in '<' '>' '>>'; do
    printf '14\ne2e4d\n' >wine-record
    printf '14\ne2e4d\n' >wine-record.want
    status=0
    case "$redirect" in
    '<') timeout 20 wine ./referee.exe --save wine-record <wine-record >/dev/null 2>wine-record.err || status=$? ;;
    '>')
      : >wine-record.want
      timeout 20 wine ./referee.exe --save wine-record </dev/null >wine-record 2>wine-record.err || status=$?
      ;;
    '>>') timeout 20 wine ./referee.exe --save wine-record </dev/null >>wine-record 2>wine-record.err || status=$? ;;
    esac
    if [ "$status" -ne 2 ] || ! cmp -s wine-record wine-record.want; then
      echo "windows.sh: --save F $redirect F ended with status $status and left F as:" >&2
      od -c wine-record | head -5 >&2
      exit 1
    fi
    echo "--save F $redirect F: status 2, $(head -c 200 wine-record.err)"
  done
  rm -f wine-record wine-record.want wine-record.err
)
step_done "record guard under wine"

kit=../shared/conformance/check.py
if [ -f "$kit" ]; then
  echo "== conformance under wine (C-locale cases)"
  wrapper="$PWD/$build/referee-wine"
  printf '#!/bin/sh\nexec wine "%s" "$@"\n' "$PWD/$build/referee.exe" >"$wrapper"
  chmod +x "$wrapper"
  mapfile -t cases < <(python3 -c '
import json, sys
expected = json.load(open(sys.argv[1]))
print("\n".join(name for name in sorted(expected) if not expected[name]["utf8"]))
' "$(dirname "$kit")/expected.json")
  kit_status=0
  python3 "$kit" "$wrapper" "${cases[@]}" || kit_status=$?
  step_done "kit under wine"
fi
printf 'windows.sh: %s\n' "${times[@]}"
exit "${kit_status:-0}"
