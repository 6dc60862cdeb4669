// The only door to the terminal. The game prints and reads through this interface, so a whole
// game can be driven from string streams in tests and from the real terminal in the program.
#pragma once

#include <initializer_list>
#include <span>
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
    // Writes text exactly as it stands.
    virtual void write_text(std::string_view text) = 0;
    // Writes cell codes, each shown as its code page 437 glyph.
    virtual void write_glyphs(std::string_view codes) = 0;
    // The next input byte (0..255) without taking it, or end_of_input. Output written so far
    // reaches the screen before the console waits for input.
    virtual int peek_byte() = 0;
    // Takes the byte that peek_byte() returned.
    virtual void take_byte() = 0;
};

// Prints a format in the manner of printf: "%d" and "%2d" take the next integer, "%c" the next
// cell code, shown as its glyph; every other byte is written as it stands.
void print(Console& console, std::string_view format, std::span<const int> args);

inline void print(Console& console, std::string_view format, std::initializer_list<int> args = {}) {
    print(console, format, std::span<const int>(args.begin(), args.size()));
}

} // namespace referee
