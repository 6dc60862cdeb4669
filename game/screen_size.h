// The window the game needs during play, and the hint printed when the window is smaller.
#pragma once

#include "console/process.h"
#include "game/board_display.h"

#include <string>
#include <string_view>

namespace referee {

// The window that play needs: play_screen_size() over the inputs of the recorded games in
// tests/golden, largest columns and largest lines. The test
// WindowSize.PlayWindowIsMeasuredOverTheRecordedGames measures it again and names the new figure
// when a change of the game's output moves it.
constexpr WindowSize play_window{123, 64};

// The window that play with the compact board needs, measured in the same way on a terminal of
// its width, where a line longer than the window goes on over as many lines as it fills:
// play_screen_size(input, BoardStyle::compact) over the same recorded games. The test
// WindowSize.CompactWindowIsMeasuredOverTheRecordedGames measures it again.
constexpr WindowSize compact_window{80, 21};

// The window a drawing needs.
constexpr WindowSize window_for(BoardStyle style) {
    return style == BoardStyle::compact ? compact_window : play_window;
}

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

// One line for standard error naming the size needed and the size found, or an empty string when
// the window found is large enough in both directions.
[[nodiscard]] std::string window_hint(WindowSize needed, WindowSize found);

// The hint for a game drawn in `style`: the line above for the window that drawing needs, and
// when the full board does not fit but the compact one would, a second line that says so.
[[nodiscard]] std::string window_hint(BoardStyle style, WindowSize found);

} // namespace referee
