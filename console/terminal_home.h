// What a home of the terminal console (posix/, windows/, web/) does on its platform: set the
// terminal up and put it back, write bytes on standard output, read bytes of standard input. The
// terminal console (terminal_console.cpp) buffers, flushes and ends the input the same way on
// every platform on top of these few calls.
#pragma once

#include "console/text_console.h"

#include <cstddef>
#include <string_view>

namespace referee::terminal_home {

// Prepares the terminal for a run whose glyphs go out in `mode`.
void set_up(GlyphMode mode);

// Puts back what set_up() changed. Safe to call more than once: only the first call acts.
void put_back();

// Writes all of `bytes` on standard output. Returns 0, or the errno value of the first failure.
[[nodiscard]] int write_out(std::string_view bytes);

struct Read {
    std::size_t count = 0; // bytes put at `into`
    bool ended = false; // no input follows these bytes
    int error = 0; // the errno value of a failed read; then the other fields mean nothing
};

// Waits for input and puts at most `room` bytes of it at `into`. Unless it fails, it returns at
// least one byte or the end of input.
[[nodiscard]] Read read_in(char* into, std::size_t room);

// The glyph encoding that the locale and standard output call for.
[[nodiscard]] GlyphMode glyph_mode_from_locale();

} // namespace referee::terminal_home
