#!/usr/bin/env bash
# Plays the first moves of a game in a real terminal (a detached tmux pane of 130x75 at a UTF-8
# locale) and checks what the pane shows: the board cells where they belong, the shade pattern,
# the legend, the prompts, the redraw after a move, and the exit status after 0. Before that, it
# starts the referee in smaller panes and checks the hint about the window size: shown at 80x24
# under the introduction while the start gate waits, and one column or line short of the size it
# names; absent at that size, where the first screen and the answer to a refused move fit; under
# the prompt of a game taken up again from its record (--save). The compact board at 80x24: no
# hint, and after a few moves the whole board, its legend, the check announced and the prompt on
# the screen, without a wrapped line. Then
# the glyphs in a UTF-8 locale that is not installed and in no locale at all, and the line feed
# after the end of input (Ctrl-D), and the explanation of a 0 that did not quit.
# Usage: tmux_test.sh PATH/TO/referee      Exit status 77 means skipped (no tmux here).
# REFEREE_TMUX_SHOW=1 also prints part of the board as shown in the two locale cases.
set -uo pipefail

export LANG=C.UTF-8 LC_ALL=C.UTF-8 # also makes bash count characters, not bytes
unset TMUX TMUX_PANE

referee="${1:?usage: tmux_test.sh PATH/TO/referee}"
referee="$(cd "$(dirname "$referee")" && pwd)/$(basename "$referee")"
[ -x "$referee" ] || { echo "not an executable: $referee" >&2; exit 2; }

if ! command -v tmux >/dev/null 2>&1; then
  echo "SKIP: tmux is not installed, so the real-terminal test cannot run (apt-get install tmux)"
  exit 77
fi

# A private server on a private socket: parallel and repeated runs never meet.
work="$(mktemp -d "${TMPDIR:-/tmp}/referee-tmux.XXXXXX")"
socket="$work/socket"
session="" # the pane that capture, wait_for and type_line work on
# No status line and panes that stay after their program ends, from the first session on: the
# program sees its pane's final size when it starts. The server stays between sessions.
printf 'set-option -s exit-empty off\nset-option -g status off\nset-option -gw remain-on-exit on\n' >"$work/tmux.conf"
tm() { tmux -S "$socket" -f "$work/tmux.conf" "$@"; }
cleanup() {
  tm kill-server >/dev/null 2>&1
  rm -rf "$work"
}
trap cleanup EXIT
trap 'exit 1' INT TERM HUP

failures=0
fail() {
  echo "FAIL: $*"
  failures=$((failures + 1))
}
screen="" # the last capture of the pane, one screen line per array element below
lines=()
capture() {
  screen="$(tm capture-pane -p -J -t "$session" 2>/dev/null)"
  mapfile -t lines <<<"$screen"
}
# The hint line, if any, from the pane and its history (the introduction may scroll it away).
hint_line() {
  tm capture-pane -p -J -S - -t "$session" 2>/dev/null | grep -F "referee: the board needs"
}
# The hint's second line, which points to the compact board.
compact_hint_line() {
  tm capture-pane -p -J -S - -t "$session" 2>/dev/null | grep -F "referee: start it with --board=compact"
}
show() {
  echo "---- pane ----"
  printf '%s\n' "$screen"
  echo "--------------"
}
# wait_for TEXT [COUNT]: polls the pane until TEXT is on at least COUNT lines (default 1); gives up
# after 10 seconds so that the test never hangs.
wait_for() {
  local text="$1" count="${2:-1}" tries=0
  while [ "$tries" -lt 200 ]; do
    capture
    if [ "$(grep -cF -- "$text" <<<"$screen")" -ge "$count" ]; then
      return 0
    fi
    sleep 0.05
    tries=$((tries + 1))
  done
  echo "FAIL: timed out waiting for ${count}x \"$text\""
  show
  exit 1
}
type_line() {
  tm send-keys -t "$session" -l -- "$1" && tm send-keys -t "$session" Enter
}

# The board: each line is two tabs (16 columns), "|   |" or "| N |", then per file a cell of nine
# characters and a bar.
margin=21
nb=$'\u00a0' # the light shade, code page 437 byte 255
dk='▒'       # the dark shade, byte 177
# row_of RANK LINE: the pane line of line LINE (1..5) of RANK, found from the rank label on line 3.
row_of() {
  local i
  for i in "${!lines[@]}"; do
    if [[ "${lines[$i]}" == "                | $1 |"* ]]; then
      echo $((i + $2 - 3))
      return
    fi
  done
  echo -1
}
# cell RANK FILE LINE: the nine characters of that cell line as shown in the pane.
cell() {
  local row
  row="$(row_of "$1" "$3")"
  [ "$row" -ge 0 ] || { echo "(rank $1 not on screen)"; return; }
  local text="${lines[$row]}"
  echo "${text:$((margin + $2 * 10)):9}"
}
shade_of() { # RANK FILE: light when rank + file index is even
  if (((($1 + $2) % 2) == 0)); then echo "$nb"; else echo "$dk"; fi
}
# expect_piece RANK FILE GLYPH NAME: the five lines of the cell show GLYPH's figure on the
# square's shade.
expect_piece() {
  local s line want got
  s="$(shade_of "$1" "$2")"
  local -a figure=("$s$s$s$s$s$s$s$s$s" "$s$s$s$3$3$3$s$s$s" "$s$s$s$s$3$s$s$s$s"
    "$s$s$s$3$3$3$s$s$s" "$s$s$3$3$3$3$3$s$s")
  for line in 1 2 3 4 5; do
    want="${figure[$((line - 1))]}"
    got="$(cell "$1" "$2" "$line")"
    [ "$got" == "$want" ] || fail "$4, cell line $line: want '$want', got '$got'"
  done
}
expect_empty() { # RANK FILE NAME
  local s
  s="$(shade_of "$1" "$2")"
  expect_piece "$1" "$2" "$s" "$3"
}
# expect_empty_rank RANK: all five lines of the rank are solid shades alternating by file.
expect_empty_rank() {
  local want="" file line row s
  for file in 0 1 2 3 4 5 6 7; do
    s="$(shade_of "$1" "$file")"
    want+="$s$s$s$s$s$s$s$s$s|"
  done
  for line in 1 2 3 4 5; do
    row="$(row_of "$1" "$line")"
    local text=""
    if [ "$row" -ge 0 ]; then text="${lines[$row]}"; fi
    if [ "${text:margin:80}" != "$want" ]; then
      fail "empty rank $1, line $line: want '$want', got '${text:margin:80}'"
    fi
  done
}

# start_pane NAME WIDTH HEIGHT [ENV [ARGS]]: the referee in a new detached pane of that size,
# started by env with the arguments ENV (default: a UTF-8 locale) and given ARGS, its exit status
# recorded in NAME.status by the shell that runs it.
start_pane() {
  session="$1"
  tm new-session -d -s "$session" -x "$2" -y "$3" \
    "env ${4:-LANG=C.UTF-8 LC_ALL=C.UTF-8} '$referee' ${5:-}; echo \$? >'$work/$1.new'; mv '$work/$1.new' '$work/$1.status'" \
    </dev/null \
    || { echo "FAIL: tmux could not start a session"; exit 1; }
  wait_for "PER TE STARTUAR LOJEN."
}
hint_re='^referee: the board needs a window of at least ([0-9]+) columns and ([0-9]+) lines; this one has ([0-9]+) columns and ([0-9]+) lines\.$'

# 80x24: the hint names the size needed and the size found. It stands under the introduction and
# over the gate's line, on the screen while the gate waits for 14.
start_pane small 80 24
hint="$(hint_line)"
if [[ "$hint" =~ $hint_re ]] && [ "${BASH_REMATCH[3]}x${BASH_REMATCH[4]}" == 80x24 ]; then
  need_w="${BASH_REMATCH[1]}" need_h="${BASH_REMATCH[2]}"
else
  echo "FAIL: at 80x24, want the window hint naming 80x24, got '$hint'"
  exit 1
fi
capture
hint_row=-1 gate_row=-1
for i in "${!lines[@]}"; do
  [[ "${lines[$i]}" == "referee: the board needs"* ]] && hint_row=$i
  [[ "${lines[$i]}" == *"PER TE STARTUAR LOJEN."* ]] && gate_row=$i
done
[ "$hint_row" -ge 0 ] || fail "at 80x24, the hint is not on the screen while the gate waits"
[ "$gate_row" -gt "$hint_row" ] || fail "at 80x24, the gate's line is not under the hint"
[[ "$screen" == *"SUKSESE!!!."* ]] || fail "at 80x24, the introduction's end is not over the hint"
[ -n "$(compact_hint_line)" ] || fail "at 80x24, the hint does not point to --board=compact"
[ "$failures" -eq 0 ] || show
tm kill-session -t small

# The compact board at 80x24: no hint. After a few moves, the last a check, the screen holds the
# whole drawing from its first line (the file letters), the legend, the announcement and the
# prompt, and no line wrapped.
start_pane compact 80 24 "" --board=compact
[ -z "$(hint_line)$(compact_hint_line)" ] || fail "the compact board at 80x24 got a hint"
type_line 14
wait_for "Levizja nr  1, luan i vogli:>"
type_line e2e4d
wait_for "LEVIZJA NR  2, LUAN I MADHI:>"
type_line f7f6d
wait_for "Levizja nr  3, luan i vogli:>"
type_line d1h5d
wait_for "LEVIZJA NR  4, LUAN I MADHI:>"
mapfile -t rows < <(tm capture-pane -p -N -t "$session")
files="            a  b  c  d  e  f  g  h"
compact_want=(
  "$files"
  "         8 ${nb}T$nb${dk}K$dk${nb}F$nb${dk}D$dk${nb}M$nb${dk}F$dk${nb}K$nb${dk}T$dk 8"
  "         7 ${dk}U$dk${nb}U$nb${dk}U$dk${nb}U$nb${dk}U$dk$nb$nb$nb${dk}U$dk${nb}U$nb 7"
  "         6 $nb$nb$nb$dk$dk$dk$nb$nb$nb$dk$dk$dk$nb$nb$nb${dk}U$dk$nb$nb$nb$dk$dk$dk 6"
  "         5 $dk$dk$dk$nb$nb$nb$dk$dk$dk$nb$nb$nb$dk$dk$dk$nb$nb$nb$dk$dk$dk${nb}d$nb 5"
  "         4 $nb$nb$nb$dk$dk$dk$nb$nb$nb$dk$dk$dk${nb}u$nb$dk$dk$dk$nb$nb$nb$dk$dk$dk 4"
  "         3 $dk$dk$dk$nb$nb$nb$dk$dk$dk$nb$nb$nb$dk$dk$dk$nb$nb$nb$dk$dk$dk$nb$nb$nb 3"
  "         2 ${nb}u$nb${dk}u$dk${nb}u$nb${dk}u$dk$nb$nb$nb${dk}u$dk${nb}u$nb${dk}u$dk 2"
  "         1 ${dk}t$dk${nb}k$nb${dk}f$dk$nb$nb$nb${dk}m$dk${nb}f$nb${dk}k$dk${nb}t$nb 1"
  "$files"
  ""
  "         U 8  T 2  K 2  F 2  D 1  M 1"
  "         u 8  t 2  k 2  f 2  d 1  m 1"
  "         SHAH!!! I VOGLI I DHA SHAH TE MADHIT ME FILV OSE DAMEV"
  "                                                 LEVIZJA NR  4, LUAN I MADHI:>"
)
for i in "${!compact_want[@]}"; do
  [ "${rows[$i]%"${rows[$i]##*[! ]}"}" == "${compact_want[$i]}" ] \
    || fail "compact board at 80x24, screen line $((i + 1)): want '${compact_want[$i]}', got '${rows[$i]}'"
done
[ "$(tm capture-pane -p -J -t "$session" | wc -l)" -eq 24 ] || fail "a line wrapped with the compact board at 80x24"
[ "$failures" -eq 0 ] || show
tm kill-session -t compact

# A game taken up again from its record at 80x24: the screen it stood at (the board, the big side
# to move), then the hint under its prompt, since the clear at the top of that screen would wipe a
# hint given at the replayed gate.
printf '14\ne2e4d\n' >"$work/record.txt"
session=resumed
tm new-session -d -s "$session" -x 80 -y 24 \
  "env LANG=C.UTF-8 LC_ALL=C.UTF-8 '$referee' --save '$work/record.txt'" </dev/null \
  || { echo "FAIL: tmux could not start a session"; exit 1; }
wait_for "referee: the board needs"
hint_row=-1 prompt_row=-1
for i in "${!lines[@]}"; do
  [[ "${lines[$i]}" == "referee: the board needs"* ]] && hint_row=$i
  [[ "${lines[$i]}" == *"LEVIZJA NR  2, LUAN I MADHI:>" ]] && prompt_row=$i
done
[ "$prompt_row" -ge 0 ] && [ "$hint_row" -gt "$prompt_row" ] \
  || fail "a resumed game at 80x24 does not show the hint under its prompt"
grep -qF "JU LUTEM" <<<"$screen" && fail "a resumed game shows the introduction"
[ "$failures" -eq 0 ] || show
tm kill-session -t "$session"

# One column or one line short of the size named: the hint again, with the size found.
for short in "$((need_w - 1)) $need_h" "$need_w $((need_h - 1))"; do
  read -r w h <<<"$short"
  start_pane "short${w}x$h" "$w" "$h"
  hint="$(hint_line)"
  [[ "$hint" =~ $hint_re ]] && [ "${BASH_REMATCH[1]}x${BASH_REMATCH[2]} ${BASH_REMATCH[3]}x${BASH_REMATCH[4]}" == "${need_w}x$need_h ${w}x$h" ] \
    || fail "at ${w}x$h, want the hint naming ${need_w}x$need_h and ${w}x$h, got '$hint'"
  tm kill-session -t "$session"
done

# Exactly the size named: no hint. The first screen fits: the line left empty by the drawing on
# top, the frame under it, the prompt. A move refused at the first prompt is read at its second
# copy, so its message follows that prompt: that screen still shows the frame, and its widest line
# is as wide as the pane, without wrapping.
start_pane exact "$need_w" "$need_h"
[ -z "$(hint_line)" ] || fail "at ${need_w}x$need_h, a hint was shown: '$(hint_line)'"
type_line 14
wait_for "Levizja nr  1, luan i vogli:>"
mapfile -t rows < <(tm capture-pane -p -N -t "$session")
[ "$(tr -d ' ' <<<"${rows[0]}")" == "" ] || fail "the first screen does not start with its empty line: '${rows[0]}'"
[[ "${rows[1]}" == "                +---+"* ]] || fail "the frame is not on the second line: '${rows[1]}'"
type_line e2e5d
wait_for "Levizja nr  1, luan i vogli:>" 3
mapfile -t rows < <(tm capture-pane -p -N -t "$session")
widest=0
for row in "${rows[@]}"; do [ "${#row}" -gt "$widest" ] && widest="${#row}"; done
[[ "${rows[1]}" == "                +---+"* ]] || fail "after a refused move the frame is not on the second line: '${rows[1]}'"
printf '%s\n' "${rows[@]}" | grep -q "Levizja nr  1, luan i vogli:>.*ERROR 519!" || fail "the refusal does not follow the prompt"
[ "$widest" -eq "$need_w" ] || fail "the widest line is $widest columns, the hint named $need_w"
[ "$(tm capture-pane -p -J -t "$session" | wc -l)" -eq "$need_h" ] || fail "a line wrapped at ${need_w}x$need_h"
[ "$failures" -eq 0 ] || show
tm kill-session -t exact

# A UTF-8 locale that this machine lacks, and no locale at all (C): the glyphs as UTF-8, as in a
# UTF-8 locale. After the end of input (Ctrl-D at the prompt) the program ends with status 1 and a
# line feed: the cursor stands at the start of a line.
for case in "nolocale|-u LANG -u LC_ALL -u LC_CTYPE" "missing|-u LC_ALL -u LC_CTYPE LANG=xx_YY.UTF-8"; do
  start_pane "${case%%|*}" 130 75 "${case#*|}"
  type_line 14
  wait_for "Levizja nr  1, luan i vogli:>"
  expect_piece 1 4 '♠' "${case#*|}: small king on e1"
  expect_piece 8 7 '«' "${case#*|}: big rook on h8"
  expect_empty_rank 5
  if [ -n "${REFEREE_TMUX_SHOW:-}" ]; then
    echo "---- env ${case#*|}: the pane, its lines 40 to 50 ----"
    printf '%s\n' "${lines[@]:39:11}"
  fi
  tm send-keys -t "$session" C-d
  tries=0
  while [ ! -f "$work/$session.status" ] && [ "$tries" -lt 200 ]; do sleep 0.05; tries=$((tries + 1)); done
  status="$(cat "$work/$session.status" 2>/dev/null)"
  [ "$status" == 1 ] || fail "${case#*|}: exit status after Ctrl-D: want 1, got '$status'"
  [ "$(tm display-message -p -t "$session" '#{cursor_x}')" == 0 ] || fail "${case#*|}: no line feed after the end of input"
  [ "$failures" -eq 0 ] || show
  tm kill-session -t "$session"
done

# A line holding only 0 typed after 14 does not quit: the line end left after 14 comes first and
# the 0 joins the request. One line on standard error says so and how to quit; a move and then 0
# do quit. (The pane shows standard output and standard error together.)
start_pane zero 130 75
type_line 14
wait_for "Levizja nr  1, luan i vogli:>"
type_line 0
wait_for "referee: that 0 was read into a move request"
[ "$(grep -cF "referee: that 0 was read" <<<"$screen")" -eq 1 ] || fail "want the 0 explained once"
[[ "$screen" == *"or press Ctrl-C"* ]] || fail "the explanation does not say how to quit"
[ -f "$work/zero.status" ] && fail "a 0 read into a request ended the game"
type_line e2e4d
wait_for "LEVIZJA NR  2, LUAN I MADHI:>"
type_line 0
tries=0
while [ ! -f "$work/zero.status" ] && [ "$tries" -lt 200 ]; do sleep 0.05; tries=$((tries + 1)); done
[ "$(cat "$work/zero.status" 2>/dev/null)" == 1 ] || fail "a move and then 0 did not end the game with status 1"
[ "$failures" -eq 0 ] || show
tm kill-session -t zero

# The game in a pane larger than the board needs: no hint.
start_pane "referee$$" 130 75
size="$(tm display-message -p -t "$session" '#{pane_width} #{pane_height}')"
read -r width height <<<"$size"
if [ "$width" -lt 120 ] || [ "$height" -lt 70 ]; then
  echo "FAIL: pane is ${width}x${height}, the board needs at least 120x70"
  exit 1
fi
[ -z "$(hint_line)" ] || fail "at ${width}x$height, a hint was shown: '$(hint_line)'"

type_line 14
wait_for "Levizja nr  1, luan i vogli:>"

# The first board: the clear removed the introduction, the big pieces are on top, the small ones
# at the bottom, the light squares a8 and h1 blank, a1 and h8 dark.
grep -qF "JU LUTEM" <<<"$screen" && fail "the introduction is still on screen after the board"
expect_piece 1 4 '♠' "small king on e1"
expect_piece 1 3 '█' "small queen on d1"
expect_piece 1 0 '⌂' "small rook on a1"
expect_piece 8 4 '♣' "big king on e8"
expect_piece 8 7 '«' "big rook on h8"
expect_piece 2 4 '▬' "small pawn on e2"
expect_piece 7 4 '▄' "big pawn on e7"
for rank in 6 5 4 3; do expect_empty_rank "$rank"; done
# The legend: names, and each figure with its count, in the fixed order under the board.
names="ushtm   torem   kalim   filim   damam   mbretm  ushtv   torev   kaliv   filiv   damav   mbretv"
counts="▄ =8    « =2    ¼ =2    ☻ =2    ▓ =1    ♣ =1    ▬ =8    ⌂ =2    ½ =2    ☺ =2    █ =1    ♠ =1"
wide="▄▄▄▄▄   «««««   ¼¼¼¼¼   ☻☻☻☻☻   ▓▓▓▓▓   ♣♣♣♣♣   ▬▬▬▬▬   ⌂⌂⌂⌂⌂   ½½½½½   ☺☺☺☺☺   █████   ♠♠♠♠♠"
files="|   |    a    |    b    |    c    |    d    |    e    |    f    |    g    |    h    |   |"
rank1="$(row_of 1 3)"
legend=-1
for i in "${!lines[@]}"; do [[ "${lines[$i]}" == *"$names"* ]] && legend=$i; done
if [ "$legend" -lt 0 ]; then
  fail "legend names line not on screen"
else
  [ "$legend" -gt "$rank1" ] || fail "legend is not under the board"
  [[ "${lines[$((legend - 3))]}" == *"$counts"* ]] || fail "legend counts line: '${lines[$((legend - 3))]}'"
  [[ "${lines[$((legend - 1))]}" == *"$wide"* ]] || fail "legend wide figures line: '${lines[$((legend - 1))]}'"
  [[ "${lines[$((rank1 + 4))]}" == *"$files"* ]] || fail "file letters are not under rank 1"
  prompt_row=-1
  for i in "${!lines[@]}"; do [[ "${lines[$i]}" == *"Levizja nr  1, luan i vogli:>"* ]] && prompt_row=$i; done
  [ "$prompt_row" -eq $((legend + 1)) ] || fail "the prompt is not on the line under the legend"
fi
[ "$failures" -eq 0 ] || show

# A mistyped line: the line feed left after 14 is refused first, then the line itself, silently,
# so the small side's prompt stands three times and nothing else is printed.
type_line x2e4d
wait_for "Levizja nr  1, luan i vogli:>" 3
[ "$(grep -cF "Levizja nr  1, luan i vogli:>" <<<"$screen")" -eq 3 ] || fail "want the prompt three times"
after="$(sed -n '/Levizja nr  1, luan i vogli:>/,$p' <<<"$screen" | grep -v 'Levizja nr  1' | tr -d ' \n')"
[ -z "$after" ] || fail "a silent refusal printed something: '$after'"

# e2e4d: the board is redrawn with the pawn on e4 (a light square), e2 empty and light, and the
# big side's prompt for move 2.
type_line e2e4d
wait_for "LEVIZJA NR  2, LUAN I MADHI:>"
[ "$(grep -cF "Levizja nr  1" <<<"$screen")" -eq 0 ] || fail "the redraw did not clear the earlier prompts"
expect_piece 4 4 '▬' "small pawn on e4"
expect_empty 2 4 "e2 after the move"
expect_piece 1 4 '♠' "small king on e1 after the move"
grep -qF "$counts" <<<"$screen" || fail "legend counts changed by a quiet move"

# e7e5d: the big pawn on e5, a dark square; the small side's prompt for move 3.
type_line e7e5d
wait_for "Levizja nr  3, luan i vogli:>"
expect_piece 5 4 '▄' "big pawn on e5"
expect_empty 7 4 "e7 after the move"
expect_piece 4 4 '▬' "small pawn still on e4"
for rank in 6 3; do expect_empty_rank "$rank"; done
[ "$failures" -eq 0 ] || show

# 0 ends the program with status 1 (written to a file by the shell that started it).
type_line 0
tries=0
while [ ! -f "$work/$session.status" ]; do
  tries=$((tries + 1))
  [ "$tries" -lt 200 ] || { fail "the program did not end after 0"; break; }
  sleep 0.05
done
status="$(cat "$work/$session.status" 2>/dev/null)"
[ "$status" == 1 ] || fail "exit status after 0: want 1, got '$status'"

if [ "$failures" -ne 0 ]; then
  echo "$failures check(s) failed"
  exit 1
fi
echo "PASS: window hint at 80x24 over the gate and one short of ${need_w}x$need_h, none at that size where a refused move fits; the compact board whole at 80x24 after a check; glyphs with a missing UTF-8 locale and with none, a line feed after Ctrl-D; board, legend, prompts and exit status on a ${width}x${height} tmux pane"
