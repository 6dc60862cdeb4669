// A null sink for whole games: input from a string, output through the same text console as the
// terminal's (glyph encoding included) but dropped after every request, counting bytes and
// redraws.
#pragma once

#include "console/string_console.h"

#include <cstddef>
#include <string>
#include <string_view>
#include <utility>

namespace referee::bench {

class NullSink : public StringConsole {
public:
    explicit NullSink(std::string input, GlyphMode mode = GlyphMode::raw)
        : StringConsole(std::move(input), mode) { }

    void clear_screen() override {
        ++redraws_;
        StringConsole::clear_screen();
    }

    // The output since the last drop.
    [[nodiscard]] std::string_view pending() const { return TextConsole::pending(); }
    // Counts the pending output and forgets it.
    void drop() {
        bytes_ += pending().size();
        clear_pending();
    }

    [[nodiscard]] std::size_t bytes() const { return bytes_ + pending().size(); }
    [[nodiscard]] std::size_t redraws() const { return redraws_; }

private:
    std::size_t bytes_ = 0;
    std::size_t redraws_ = 0;
};

} // namespace referee::bench
