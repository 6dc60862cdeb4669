// Helpers shared by the tests: positions built directly in the game state, whole runs through the
// string console, and a readable view of the referee's output.
#pragma once

#include "console/process.h"
#include "console/string_console.h"
#include "game/board_display.h"
#include "game/game.h"
#include "game/request_loop.h"
#include "game/texts.h"

#include <filesystem>
#include <string>
#include <string_view>
#include <utility>

namespace referee::test {

// A square from its name, such as "e4".
Square sq(std::string_view name);

// A message of the table of texts as the referee shows it, with its number when it shows one.
std::string said(Message message, Side side);
std::string said(Message message, Side side, int number);
// The prompt of the side under the number, as shown.
std::string prompt(Side side, int number);
// Whether the report holds the announcement of a check.
bool announced_check(const Report& report);

// A game on an empty board (every square its own shade), the counters as at the start, the
// request number 1 (the small side to move), with a string console that has no input.
struct TestGame {
    StringConsole console{""};
    Game game{console};

    TestGame();

    GameState& state() { return game.state; }
    // Puts pieces on the board: place({{"e1", SMALL_KING}, {"e8", BIG_KING}}).
    TestGame& place(std::initializer_list<std::pair<std::string_view, Code>> pieces);
    // Sets the request fields from a typed request such as "e2e4" or "e4e2po".
    TestGame& request(std::string_view typed);
    // Starts a request asked at `number`: the turn there, the report empty.
    TestGame& begin_request(int number);
    // One pass of the request loop on the console's input.
    PassResult pass();
    // Everything printed so far, with what the report holds and was not shown yet shown as the
    // loop shows it, and forget it.
    std::string take_output();

private:
    std::size_t shown_ = 0; // the report's events shown so far
};

// The piece of a request letter: t u k f d for rook, pawn, knight, bishop, queen and m for the
// king; upper case for the big side.
Code code_of_letter(char letter);

// A typed request, or a square, seen in the mirror: every rank reversed (rank r becomes 9 - r).
std::string mirrored(std::string_view typed);

// Puts pieces written as "Me8 te3" (letter and square) on the board and sets the request; in the
// mirror every rank is reversed and every piece changes side.
void setup(TestGame& g, std::string_view pieces, std::string_view typed, bool mirror = false);

// Plays one typed line as the request of the given move number, through the request loop, and
// returns what was printed ("[the run ended]" after it when the pass ended the run).
std::string play(TestGame& g, int number, std::string_view line);

// The number the next prompt will show.
int next_prompt(TestGame& g);

// The result of a whole run fed with the given input bytes.
struct RunResult {
    std::string output;
    int status;
    std::size_t consumed;
};
RunResult run(
    std::string_view input, GlyphMode mode = GlyphMode::raw, BoardStyle style = BoardStyle::full);

// The whole contents of a file, as bytes; empty when it cannot be read.
std::string read_file(const std::filesystem::path& path);

// The board as eight rows of letters, rank 8 first: the request letters, M and m for the kings,
// '.' for an empty light square and ':' for an empty dark one.
std::string board_rows(const GameState& state);

// The output made readable: every board drawing shown as a compact diagram when it is exactly
// the drawing of that diagram, tabs as \t, other control and glyph bytes as \xNN, backslash as
// \\, and line feeds kept as line breaks. A drawing of the compact board is shown as it is,
// between "[compact" and "]", with its light and dark shades as '.' and ':'.
std::string view(std::string_view output);

// The columns and lines that text fills from the top-left corner of a window: its widest line,
// with tab stops every 8 columns and every other byte one column, and its number of lines. With
// `wrap_columns`, on a terminal of that width: a line that reaches past its last column goes on
// at the start of the next line, and a tab never goes past the last column.
[[nodiscard]] WindowSize text_size(std::string_view text, int wrap_columns = 0);

// The window a run on `input` needs on a terminal that hands the program one typed line per read
// and echoes it where the cursor stands. Measured are the screens the player reads while the
// program waits: from each clear of the window (a new drawing) to the first wait after it, and to
// the second, when the request typed under the drawing has been answered and the next prompt
// stands. The widest line of those screens and the tallest of them; the introduction before the
// first drawing does not count. Further refused requests in a row scroll the drawing up in any
// window, so they are not counted. The compact board is measured on a terminal of the compact
// window's width.
[[nodiscard]] WindowSize play_screen_size(
    std::string_view input, BoardStyle style = BoardStyle::full);

} // namespace referee::test
