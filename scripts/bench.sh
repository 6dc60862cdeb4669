#!/usr/bin/env bash
# The named bench command: builds the benchmarks (Release, in build-bench/), runs the replay of a
# long scripted game and the micro benchmarks, then measures the targets on the real program:
# instructions per executed move (callgrind), write system calls per request on a pipe (strace),
# start to first prompt, and peak resident memory (/usr/bin/time); beside the instructions, those
# of a redraw alone, the referee's and a naive printf peer's. The tools are installed when
# missing (scripts/deps.sh says which); a measurement whose tool is still missing is skipped.
#
#   scripts/bench.sh            everything
#   scripts/bench.sh --quick    the replay and the micro benchmarks only
set -euo pipefail
cd "$(dirname "$0")/.."
quick=0
[ "${1:-}" = "--quick" ] && quick=1

bash scripts/deps.sh build bench
generator=()
if command -v ninja >/dev/null 2>&1 && [ ! -f build-bench/Makefile ]; then
  generator=(-G Ninja)
fi
cmake -S . -B build-bench -DREFEREE_WERROR=ON "${generator[@]}" -DCMAKE_BUILD_TYPE=Release -DREFEREE_BENCH=ON \
  -DREFEREE_TESTS=OFF >/dev/null
cmake --build build-bench -j"$(nproc)" --target referee referee_replay referee_micro referee_drive \
  referee_redraw

bin=build-bench
data=build-bench/bench-data
mkdir -p "$data"

echo "== replay of the scripted game into a null sink"
"$bin/bench/referee_replay" --runs 3
"$bin/bench/referee_replay" --runs 3 --utf8

echo "== micro benchmarks"
"$bin/bench/referee_micro" --benchmark_min_time=0.2

[ "$quick" = 1 ] && exit 0

have() { command -v "$1" >/dev/null 2>&1; }
# Raw code page 437 output (C locale) and UTF-8 glyphs (C.UTF-8 locale).
locales=(C C.UTF-8)

echo "== instructions per executed move (callgrind, real program, stdout to /dev/null)"
if have valgrind; then
  "$bin/bench/referee_replay" --print-shuffle 100 >"$data/shuffle100.in"
  "$bin/bench/referee_replay" --print-shuffle 600 >"$data/shuffle600.in"
  "$bin/bench/referee_replay" --print-game 2 >"$data/game2.in"
  "$bin/bench/referee_replay" --print-game 12 >"$data/game12.in"
  instructions() { # input file, locale
    local out="$data/callgrind.$(basename "$1" .in).$2"
    LANG=$2 LC_ALL=$2 valgrind --tool=callgrind --callgrind-out-file="$out" "$bin/referee" \
      <"$1" >/dev/null 2>"$out.log" || true
    awk '/^(summary|totals):/ {print $2; exit}' "$out"
  }
  for locale in "${locales[@]}"; do
    a=$(instructions "$data/shuffle100.in" "$locale")
    b=$(instructions "$data/shuffle600.in" "$locale")
    c=$(instructions "$data/game2.in" "$locale")
    d=$(instructions "$data/game12.in" "$locale")
    # The shuffle runs differ only by 2000 executed knight moves (each with its request read,
    # analyses, rules, redraw and check detection); the game runs by 10 cycles of 90 requests
    # with 27 moves, 27 take-backs (each redrawing too), 7 refusals and 29 silent requests.
    echo "$locale: per executed move (knight shuffle, 600 - 100 rounds): $(((b - a) / 2000))"
    echo "$locale: mixed game, per cycle $(((d - c) / 10)), per request $(((d - c) / 900)),"\
      "per executed move with take-backs and refusals charged to it $(((d - c) / 270))"
  done
  echo "target: at most 20000 (C) and 35000 (C.UTF-8) per executed move including its redraw"
  echo "(where they go: callgrind_annotate --inclusive=yes $data/callgrind.shuffle600.C)"

  echo "== instructions per redraw alone (callgrind, the shuffle's positions, stdout to /dev/null)"
  # The peer prints the same drawing the naive way: one printf per cell print and per legend
  # line, through stdio into a full buffer. First check that it prints the same bytes.
  if ! cmp -s <(LC_ALL=C "$bin/bench/referee_redraw" kept 8) \
    <(LC_ALL=C "$bin/bench/referee_redraw" naive 8); then
    echo "the naive peer does not print the referee's drawing" >&2
    exit 1
  fi
  redraw_instructions() { # kept or naive, locale: the difference of 1100 and 100 redraws
    local out="$data/callgrind.redraw-$1.$2" counts=()
    for count in 100 1100; do
      LANG=$2 LC_ALL=$2 valgrind --tool=callgrind --callgrind-out-file="$out.$count" \
        "$bin/bench/referee_redraw" "$1" "$count" >/dev/null 2>"$out.$count.log" || true
      counts+=("$(awk '/^(summary|totals):/ {print $2; exit}' "$out.$count")")
    done
    echo $(((counts[1] - counts[0]) / 1000))
  }
  naive=$(redraw_instructions naive C)
  echo "naive printf peer (C): $naive per redraw"
  for locale in "${locales[@]}"; do
    kept=$(redraw_instructions kept "$locale")
    echo "$locale: referee $kept per redraw; the peer takes $(awk -v a="$naive" -v b="$kept" \
      'BEGIN {printf "%.1f", a / b}') times as many"
  done
else
  echo "skipped: valgrind is missing (apt-get install valgrind)"
fi

echo "== write system calls per request, standard output a pipe"
if have strace; then
  "$bin/bench/referee_replay" --print-game 100 >"$data/game100.in"
  "$bin/bench/referee_replay" --print-game 10 >"$data/game10.in"
  # 100 cycles: 2 + 100 * 90 requests, and the quitting one.
  # The program ends with status 1 when asked to quit.
  strace -c -e trace=write -o "$data/strace-bulk.txt" "$bin/referee" <"$data/game100.in" \
    | cat >/dev/null || true
  writes=$(awk '$NF == "write" {print $4}' "$data/strace-bulk.txt")
  echo "whole input at once: $writes writes for 9003 requests"
  # A line at a time, each written after the program's prompt appeared.
  "$bin/bench/referee_drive" interactive "$data/game10.in" -- \
    strace -c -e trace=write -o "$data/strace-typed.txt" "$bin/referee"
  writes=$(awk '$NF == "write" {print $4}' "$data/strace-typed.txt")
  echo "a line at a time: $writes writes for 903 requests"
  echo "target: at most 1 write per request"
else
  echo "skipped: strace is missing (apt-get install strace)"
fi

echo "== start to first prompt (spawn until the first prompt arrives on the pipe)"
for locale in "${locales[@]}"; do
  printf '%s: ' "$locale"
  LANG=$locale LC_ALL=$locale "$bin/bench/referee_drive" first-prompt 300 -- "$bin/referee"
done
echo "target: under 5 ms"

echo "== peak resident memory"
if [ -x /usr/bin/time ]; then
  "$bin/bench/referee_replay" --print-game 1200 >"$data/game1200.in"
  for locale in "${locales[@]}"; do
    kb=$(LANG=$locale LC_ALL=$locale /usr/bin/time -v "$bin/referee" <"$data/game1200.in" 2>&1 \
      >/dev/null | awk -F': ' '/Maximum resident/ {print $2}' || true)
    echo "$locale: $kb KiB over 108003 requests"
  done
  echo "target: under 4096 KiB"
else
  echo "skipped: /usr/bin/time is missing (apt-get install time)"
fi
