#include "game/screen_size.h"

#include "console/text_console.h"
#include "game/request_loop.h"

#include <algorithm>

namespace referee {

WindowSize text_size(std::string_view text, int wrap_columns) {
    constexpr int tab_stop = 8;
    WindowSize size{0, 1};
    int column = 0;
    for (const char byte : text) {
        if (byte == '\n') {
            ++size.lines;
            column = 0;
        } else if (byte == '\t') {
            column = (column / tab_stop + 1) * tab_stop;
            if (wrap_columns > 0) {
                column = std::min(column, wrap_columns - 1); // a tab stops at the last column
            }
        } else {
            if (wrap_columns > 0 && column == wrap_columns) {
                ++size.lines; // the last column is full: this byte starts the next line
                column = 0;
            }
            ++column;
        }
        size.columns = std::max(size.columns, column);
    }
    return size;
}

namespace {

// A terminal in its usual line mode, as far as the size of what it shows goes. The program gets
// one typed line per read; the line is echoed into the output where the program waited for it.
class EchoingTerminal : public TextConsole {
public:
    EchoingTerminal(std::string_view input, int wrap_columns)
        : TextConsole(GlyphMode::raw) // one byte, one column
        , input_(input)
        , wrap_columns_(wrap_columns) { }

    void clear_screen() override {
        TextConsole::clear_screen();
        waits_since_clear_ = 0;
    }
    int peek_byte() override {
        if (next_ == line_end_) {
            wait_for_line();
        }
        return next_ < line_end_ ? static_cast<unsigned char>(input_[next_]) : end_of_input;
    }
    void take_byte() override { ++next_; }

    [[nodiscard]] WindowSize needed() const { return needed_; }

private:
    static constexpr int screens_per_drawing = 2;

    void wait_for_line() {
        ++waits_since_clear_;
        const std::string_view output = pending();
        const std::size_t clear = output.rfind(clear_sequence);
        if (clear != std::string_view::npos && waits_since_clear_ <= screens_per_drawing) {
            const WindowSize screen
                = text_size(output.substr(clear + clear_sequence.size()), wrap_columns_);
            needed_.columns = std::max(needed_.columns, screen.columns);
            needed_.lines = std::max(needed_.lines, screen.lines);
        }
        const std::size_t line_feed = input_.find('\n', next_);
        line_end_ = line_feed == std::string_view::npos ? input_.size() : line_feed + 1;
        write(input_.substr(next_, line_end_ - next_)); // the echo
    }

    std::string_view input_;
    int wrap_columns_;
    std::size_t next_ = 0;
    std::size_t line_end_ = 0;
    int waits_since_clear_ = 0;
    WindowSize needed_{0, 0};
};

} // namespace

WindowSize play_screen_size(std::string_view input, BoardStyle style) {
    EchoingTerminal terminal(input, style == BoardStyle::compact ? compact_window.columns : 0);
    static_cast<void>(run_referee(terminal, {}, style));
    return terminal.needed();
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

std::string window_hint(BoardStyle style, WindowSize found) {
    std::string hint = window_hint(window_for(style), found);
    if (!hint.empty() && style == BoardStyle::full && window_hint(compact_window, found).empty()) {
        hint += "referee: start it with --board=compact for a board that fits this window, or "
                "enlarge the window.\n";
    }
    return hint;
}

} // namespace referee
