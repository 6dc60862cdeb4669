#include "game/screen_size.h"

#include "console/string_console.h"
#include "game/request_loop.h"

#include <algorithm>

namespace referee {

WindowSize text_size(std::string_view text) {
    constexpr int tab_stop = 8;
    WindowSize size{0, 1};
    int column = 0;
    for (const char byte : text) {
        if (byte == '\n') {
            ++size.lines;
            column = 0;
        } else {
            column = byte == '\t' ? (column / tab_stop + 1) * tab_stop : column + 1;
            size.columns = std::max(size.columns, column);
        }
    }
    return size;
}

// A run that is given only the start number draws the first board, prompts, and ends at the end
// of its input. What follows the last clear of the window is the first screen.
WindowSize first_screen_size() {
    StringConsole console("14");
    static_cast<void>(run_referee(console));
    const std::string output = console.output();
    const std::string_view clear = TextConsole::clear_sequence;
    const std::size_t start = output.rfind(clear);
    const std::string_view screen
        = std::string_view(output).substr(start == std::string::npos ? 0 : start + clear.size());
    return text_size(screen);
}

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
