// The Windows console's decisions, kept apart from its system calls so that they build and are
// tested on every platform: what the run changes on the console and puts back at exit, how the
// screen is cleared, and how typed lines end.
#pragma once

#include "console/text_console.h"

#include <cstddef>
#include <cstdint>
#include <optional>
#include <string_view>

namespace referee::windows {

// The code page of the board's glyph bytes, and the one for UTF-8 (--glyphs=utf-8).
constexpr unsigned board_code_page = 437;
constexpr unsigned utf8_code_page = 65001;
// The console output mode flag that makes the console act on escape sequences.
constexpr std::uint32_t virtual_terminal_processing = 0x0004;

// What the program finds on its standard handles when it starts.
struct Handles {
    bool output_is_console = false;
    unsigned output_code_page = 0; // of the console, when the output is one
    std::uint32_t output_mode = 0; // of the console, when the output is one
    bool input_is_console = false;
};

// What the run changes. Every exit puts back what it changed: the code page, then the mode.
struct ConsolePlan {
    std::optional<unsigned> code_page; // the output code page for the run
    unsigned restore_code_page = 0;
    std::optional<std::uint32_t> output_mode; // the output mode for the run
    std::uint32_t restore_output_mode = 0;
    bool console_line_ends = false; // input typed on a console: CR LF is read as LF
};

// A console gets code page 437 (65001 for UTF-8 glyphs) and escape sequences for the run, unless
// it has them already. Pipes and files are left alone: their bytes are those of a POSIX build in
// the C locale (or with --glyphs=utf-8, in a UTF-8 one).
ConsolePlan plan_console(const Handles& handles, GlyphMode glyphs = GlyphMode::raw);

enum class ClearBy {
    escape_sequence, // written as it stands, like every other byte
    console_api, // a console that does not act on escape sequences: cleared by the program
};

// The escape sequence wherever it is understood or merely recorded; the console API on a console
// where switching on escape sequences failed.
ClearBy clear_by(bool output_is_console, bool escape_sequences_on);

// The next piece of pending output: `length` bytes to write as they stand, or, when `clear`, the
// clear sequence of that length to carry out through the console API instead of writing it.
struct Piece {
    std::size_t length;
    bool clear;
};
Piece next_piece(std::string_view pending, ClearBy method);

// The errno value a failed write is reported with. A pipe whose reader has gone fails with a
// system error that the C runtime reports as EINVAL; it is EPIPE, as on POSIX.
int write_error_number(int runtime_errno, unsigned long system_error);

// Lines typed on a console end in CR LF; they are read as LF, as the C runtime's text mode reads
// them, so a typed move behaves as on a POSIX terminal. A CR without an LF after it stays. A CR
// that ends one read waits for the next read to show whether an LF follows. Ctrl+Z ends the
// input, as it ends a text-mode read of the console; the bytes before it still count.
class ConsoleLineEnds {
public:
    struct Result {
        std::size_t count; // bytes written to `out`
        bool ended; // a Ctrl+Z: no input after these bytes
    };

    // Translates one read. `out` has room for in.size() + 1 bytes (a CR held from the last read).
    Result translate(std::string_view in, char* out);
    // At the end of input: the held CR, if any, as the last byte. Returns the bytes written.
    std::size_t finish(char* out);

private:
    bool held_cr_ = false;
};

} // namespace referee::windows
