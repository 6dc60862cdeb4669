// The window the game needs during play, and the hint printed when the window is smaller.
#pragma once

#include "console/process.h"

#include <string>

namespace referee {

// The window that play needs: the tests' play_screen_size() over the inputs of the recorded games
// in tests/golden, largest columns and largest lines. The test
// WindowSize.PlayWindowIsMeasuredOverTheRecordedGames measures it again and names the new figure
// when a change of the game's output moves it.
constexpr WindowSize play_window{123, 64};

// One line for standard error naming the size needed and the size found, or an empty string when
// the window found is large enough in both directions.
[[nodiscard]] std::string window_hint(WindowSize needed, WindowSize found);

} // namespace referee
