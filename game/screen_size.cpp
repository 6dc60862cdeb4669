#include "game/screen_size.h"

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

} // namespace referee
