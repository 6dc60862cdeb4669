// The window the game needs, measured on its own first screen, and the hint printed when the
// window is smaller.
#pragma once

#include "console/process.h"

#include <string>
#include <string_view>

namespace referee {

// The columns and lines that text fills from the top-left corner of a window: its widest line,
// with tab stops every 8 columns and every other byte one column, and its number of lines.
[[nodiscard]] WindowSize text_size(std::string_view text);

// The size of the first screen after the start: the first board drawing, its legend and the
// prompt under it.
[[nodiscard]] WindowSize first_screen_size();

// One line for standard error naming the size needed and the size found, or an empty string when
// the window found is large enough in both directions.
[[nodiscard]] std::string window_hint(WindowSize needed, WindowSize found);

} // namespace referee
