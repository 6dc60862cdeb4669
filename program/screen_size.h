// The window the game needs during play, and the hint printed when the window is smaller.
#pragma once

#include "console/process.h"
#include "game/board_display.h"

#include <string>

namespace referee {

// The window that play needs: the tests' play_screen_size() over the inputs of the recorded games
// in tests/golden, largest columns and largest lines. The test
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

// One line for standard error naming the size needed and the size found, or an empty string when
// the window found is large enough in both directions.
[[nodiscard]] std::string window_hint(WindowSize needed, WindowSize found);

// The hint for a game drawn in `style`: the line above for the window that drawing needs, and
// when the full board does not fit but the compact one would, a second line that says so.
[[nodiscard]] std::string window_hint(BoardStyle style, WindowSize found);

} // namespace referee
