// The only door to the terminal. The game prints and reads through this interface, so a whole
// game can be driven from string streams in tests and from the real terminal in the program.
#pragma once

#include <cstddef>
#include <initializer_list>
#include <span>
#include <string>
#include <string_view>

namespace referee {

class Console {
public:
    static constexpr int end_of_input = -1;

    Console() = default;
    Console(const Console&) = delete;
    Console& operator=(const Console&) = delete;
    virtual ~Console() = default;

    // Clears the visible window and puts the cursor in the top-left corner.
    virtual void clear_screen() = 0;
    // Writes code page 437 text: printable ASCII, tab, line feed and escape as they stand, and
    // every other byte (the cell codes, which never use those values) as its glyph.
    virtual void write(std::string_view text) = 0;

    // Text written again and again can be translated for the console once: encode_into() puts
    // at `out` the bytes that write(text) would send and returns their end; `out` has room for
    // encoded_size_bound(text.size()) bytes. Such bytes are sent by composing them in place:
    // encoded_room(size) is room for `size` bytes at the end of the output, and
    // finish_encoded(end) sends what was put there up to `end`. Nothing is written in between.
    [[nodiscard]] virtual std::size_t encoded_size_bound(std::size_t size) const = 0;
    virtual char* encode_into(char* out, std::string_view text) const = 0;
    virtual char* encoded_room(std::size_t size) = 0;
    virtual void finish_encoded(const char* end) = 0;

    // The next input byte (0..255) without taking it, or end_of_input. Output written so far
    // reaches the screen before the console waits for input.
    virtual int peek_byte() = 0;
    // Takes the byte that peek_byte() returned.
    virtual void take_byte() = 0;
    // Whether peek_byte() would answer without waiting: a byte is at hand or input has ended.
    // A console that cannot tell says no.
    [[nodiscard]] virtual bool input_at_hand() const { return false; }
};

// Formats in the manner of printf: "%d" and "%2d" take the next integer, "%c" the next cell code
// as one byte; every other byte of the format is copied as it stands. Writes at `out`, which has
// room for at least formatted_size_bound() bytes, and returns the end of what it wrote.
char* format_into(char* out, std::string_view format, std::span<const int> args);

constexpr std::size_t formatted_size_bound(std::string_view format, std::size_t arg_count) {
    return format.size() + arg_count * 11; // a number takes at most 11 characters
}

// Prints a format (see format_to) on the console in one write.
void print(Console& console, std::string_view format, std::span<const int> args);

inline void print(Console& console, std::string_view format, std::initializer_list<int> args = {}) {
    print(console, format, std::span<const int>(args.begin(), args.size()));
}

} // namespace referee
