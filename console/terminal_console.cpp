#include "console/terminal_console.h"

#include "console/process.h"
#include "console/terminal_home.h"

namespace referee {

TerminalConsole::TerminalConsole(GlyphMode mode)
    : TextConsole(mode) {
    reserve(2 * flush_threshold);
    terminal_home::set_up(mode);
}

TerminalConsole::~TerminalConsole() {
    flush();
    terminal_home::put_back();
}

GlyphMode TerminalConsole::mode_from_locale() {
    return terminal_home::glyph_mode_from_locale();
}

void TerminalConsole::flush() {
    if (const int error = terminal_home::write_out(pending()); error != 0) {
        terminal_home::put_back(); // the report ends the process at once, past every exit hook
        fail_output(error);
    }
    clear_pending();
}

void TerminalConsole::finish_run() {
    if (input_ended_ && output_is_terminal()) {
        write("\n");
    }
    flush();
}

int TerminalConsole::peek_byte() {
    if (next_ < filled_) {
        return static_cast<unsigned char>(input_[next_]);
    }
    if (input_ended_) {
        return end_of_input;
    }
    flush(); // the player must see everything before the program waits
    const terminal_home::Read read = terminal_home::read_in(input_.data(), input_.size());
    if (read.error != 0) {
        terminal_home::put_back(); // output was flushed above; the report ends the run
        fail_input(read.error);
    }
    next_ = 0;
    filled_ = read.count;
    input_ended_ = read.ended;
    return filled_ > 0 ? static_cast<unsigned char>(input_[0]) : end_of_input;
}

} // namespace referee
