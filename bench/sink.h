// A null sink for whole games: input from a string, output through the same text console as the
// terminal's (glyph encoding included) but dropped after every request, counting bytes and
// redraws.
#pragma once

#include "console/text_console.h"

#include <cstddef>
#include <string>
#include <string_view>
#include <utility>

namespace referee::bench {

class NullSink : public TextConsole {
public:
    explicit NullSink(std::string input, GlyphMode mode = GlyphMode::raw)
        : TextConsole(mode)
        , input_(std::move(input)) { }

    void clear_screen() override {
        ++redraws_;
        TextConsole::clear_screen();
    }
    int peek_byte() override {
        return position_ < input_.size() ? static_cast<unsigned char>(input_[position_])
                                         : end_of_input;
    }
    void take_byte() override { ++position_; }

    // The output since the last drop.
    [[nodiscard]] std::string_view pending() const { return TextConsole::pending(); }
    // Counts the pending output and forgets it.
    void drop() {
        bytes_ += pending().size();
        clear_pending();
    }
    // Reads the same input again from the start.
    void rewind() { position_ = 0; }

    [[nodiscard]] std::size_t bytes() const { return bytes_ + pending().size(); }
    [[nodiscard]] std::size_t redraws() const { return redraws_; }

private:
    std::string input_;
    std::size_t position_ = 0;
    std::size_t bytes_ = 0;
    std::size_t redraws_ = 0;
};

} // namespace referee::bench
