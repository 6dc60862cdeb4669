#include "program/screen_size.h"

#include <string>

namespace referee {

std::string window_hint(WindowSize needed, WindowSize found) {
    if (found.columns >= needed.columns && found.lines >= needed.lines) {
        return {};
    }
    return "referee: the board needs a window of at least " + std::to_string(needed.columns)
        + " columns and " + std::to_string(needed.lines) + " lines; this one has "
        + std::to_string(found.columns) + " columns and " + std::to_string(found.lines)
        + " lines.\n";
}

std::string window_hint(BoardStyle style, WindowSize found) {
    std::string hint = window_hint(window_for(style), found);
    if (!hint.empty() && style == BoardStyle::full && window_hint(compact_window, found).empty()) {
        hint += "referee: start it with --board=compact for a board that fits this window, or "
                "enlarge the window.\n";
    }
    return hint;
}

} // namespace referee
