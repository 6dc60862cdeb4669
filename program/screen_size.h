// The window the game needs during play, and the hint printed when the window is smaller.
#pragma once

#include "console/process.h"

#include <string>
#include <string_view>

namespace referee {

// The window that play needs: play_screen_size() over the inputs of the recorded games in
// tests/golden, largest columns and largest lines. The test
// WindowSize.PlayWindowIsMeasuredOverTheRecordedGames measures it again and names the new figure
// when a change of the game's output moves it.
constexpr WindowSize play_window{123, 64};

// The columns and lines that text fills from the top-left corner of a window: its widest line,
// with tab stops every 8 columns and every other byte one column, and its number of lines.
[[nodiscard]] WindowSize text_size(std::string_view text);

// The window a run on `input` needs on a terminal that hands the program one typed line per read
// and echoes it where the cursor stands. Measured are the screens the player reads while the
// program waits: from each clear of the window (a new drawing) to the first wait after it, and to
// the second, when the request typed under the drawing has been answered and the next prompt
// stands. The widest line of those screens and the tallest of them; the introduction before the
// first drawing does not count. Further refused requests in a row scroll the drawing up in any
// window, so they are not counted.
[[nodiscard]] WindowSize play_screen_size(std::string_view input);

// One line for standard error naming the size needed and the size found, or an empty string when
// the window found is large enough in both directions.
[[nodiscard]] std::string window_hint(WindowSize needed, WindowSize found);

} // namespace referee
