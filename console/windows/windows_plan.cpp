#include "console/windows/windows_plan.h"

#include "console/text_console.h"

#include <cerrno>

namespace referee::windows {

namespace {

constexpr char carriage_return = '\r';
constexpr char control_z = '\x1a';
// The system errors of a write to a pipe that has no reader.
constexpr unsigned long error_broken_pipe = 109;
constexpr unsigned long error_no_data = 232;

} // namespace

ConsolePlan plan_console(const Handles& handles, GlyphMode glyphs) {
    ConsolePlan plan;
    plan.console_line_ends = handles.input_is_console;
    if (!handles.output_is_console) {
        return plan;
    }
    const unsigned code_page = glyphs == GlyphMode::utf8 ? utf8_code_page : board_code_page;
    if (handles.output_code_page != code_page) {
        plan.code_page = code_page;
        plan.restore_code_page = handles.output_code_page;
    }
    if ((handles.output_mode & virtual_terminal_processing) == 0) {
        plan.output_mode = handles.output_mode | virtual_terminal_processing;
        plan.restore_output_mode = handles.output_mode;
    }
    return plan;
}

ClearBy clear_by(bool output_is_console, bool escape_sequences_on) {
    return output_is_console && !escape_sequences_on ? ClearBy::console_api
                                                     : ClearBy::escape_sequence;
}

Piece next_piece(std::string_view pending, ClearBy method) {
    if (method == ClearBy::escape_sequence) {
        return {pending.size(), false};
    }
    constexpr std::string_view clear = TextConsole::clear_sequence;
    if (pending.starts_with(clear)) {
        return {clear.size(), true};
    }
    const std::size_t at = pending.find(clear);
    return {at == std::string_view::npos ? pending.size() : at, false};
}

int write_error_number(int runtime_errno, unsigned long system_error) {
    return system_error == error_broken_pipe || system_error == error_no_data ? EPIPE
                                                                              : runtime_errno;
}

ConsoleLineEnds::Result ConsoleLineEnds::translate(std::string_view in, char* out) {
    char* const start = out;
    for (const char byte : in) {
        if (held_cr_ && byte != '\n') {
            *out++ = carriage_return;
        }
        held_cr_ = false;
        if (byte == control_z) {
            return {static_cast<std::size_t>(out - start), true};
        }
        if (byte == carriage_return) {
            held_cr_ = true;
        } else {
            *out++ = byte;
        }
    }
    return {static_cast<std::size_t>(out - start), false};
}

std::size_t ConsoleLineEnds::finish(char* out) {
    if (!held_cr_) {
        return 0;
    }
    held_cr_ = false;
    *out = carriage_return;
    return 1;
}

} // namespace referee::windows
