// On a terminal, a line holding only 0 quits the game when its 0 is read as the first character
// of a request. After 14, a take-back or a promotion the line end left over from the line before
// comes first, so the 0 becomes part of a request and the game goes on, as the game's reading
// wants; a player who meant to quit would be left wondering. This console stands in front of the
// terminal console and, once the game asks for more input after taking such a line, says so on
// standard error, with how to quit. Standard output and the bytes read stay as they are.
#pragma once

#include "console/terminal_console.h"

namespace referee {

class QuitNotice final : public Console {
public:
    explicit QuitNotice(TerminalConsole& real)
        : real_(real) { }

    void clear_screen() override {
        drawn_ = true;
        real_.clear_screen();
    }
    void write(std::string_view text) override { real_.write(text); }
    [[nodiscard]] std::size_t encoded_size_bound(std::size_t size) const override {
        return real_.encoded_size_bound(size);
    }
    char* encode_into(char* out, std::string_view text) const override {
        return real_.encode_into(out, text);
    }
    char* encoded_room(std::size_t size) override { return real_.encoded_room(size); }
    void finish_encoded(const char* end) override { real_.finish_encoded(end); }
    int peek_byte() override;
    void take_byte() override;
    [[nodiscard]] bool input_at_hand() const override { return real_.input_at_hand(); }

    // The line on standard error.
    static constexpr std::string_view notice
        = "referee: that 0 was read into a move request (the line end left over from the line "
          "before came first), so the game goes on; to quit, type a move, then 0, or press "
          "Ctrl-C\n";

private:
    // What the current line holds so far.
    enum class Line { empty, zero, other };

    TerminalConsole& real_;
    // The game draws its board first when it is past the start gate, where 0 is a number.
    bool drawn_ = false;
    Line line_ = Line::empty;
    // A line holding only 0 has been taken whole; the game has not asked for more since.
    bool zero_line_taken_ = false;
    int peeked_ = end_of_input;
};

} // namespace referee
