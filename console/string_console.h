// A console on strings: input is a fixed byte string, output collects in memory. Tests, the fuzz
// target and the benchmarks drive whole games through it.
#pragma once

#include "console/text_console.h"

#include <string>
#include <utility>

namespace referee {

class StringConsole : public TextConsole {
public:
    explicit StringConsole(std::string input, GlyphMode mode = GlyphMode::raw)
        : TextConsole(mode)
        , input_(std::move(input)) { }

    int peek_byte() override {
        return position_ < input_.size() ? static_cast<unsigned char>(input_[position_])
                                         : end_of_input;
    }
    void take_byte() override { ++position_; }
    [[nodiscard]] bool input_at_hand() const override { return true; }
    // Reads the same input again from its start.
    void rewind() { position_ = 0; }

    // More input after what was given, for driving a game request by request.
    void append_input(std::string_view more) { input_ += more; }

    [[nodiscard]] std::string output() const { return std::string(pending()); }
    [[nodiscard]] std::size_t consumed() const { return position_; }
    void clear_output() { clear_pending(); }

private:
    std::string input_;
    std::size_t position_ = 0;
};

} // namespace referee
