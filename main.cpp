// The referee on the real terminal.
#include "console/process.h"
#include "console/terminal_console.h"
#include "game/command_line.h"
#include "game/request_loop.h"
#include "game/screen_size.h"

#include <span>
#include <string_view>
#include <vector>

namespace {

// Prints a text of the command line on standard output; a failed write ends the run there.
int print_and_end(std::string_view text) {
    referee::TerminalConsole console(referee::GlyphMode::raw);
    console.write(text);
    console.flush();
    return 0;
}

} // namespace

int main(int argc, char** argv) {
    const std::span<char*> words(argv, static_cast<std::size_t>(argc));
    const std::vector<std::string_view> arguments(words.begin() + (argc > 0 ? 1 : 0), words.end());
    const referee::Command command = referee::parse_command_line(arguments);
    switch (command.action) {
    case referee::Action::help:
        return print_and_end(referee::usage_text());
    case referee::Action::version:
        return print_and_end(referee::version_line());
    case referee::Action::unknown_option:
    case referee::Action::unexpected_argument:
    case referee::Action::bad_glyphs:
        referee::write_error_output(referee::refusal_text(command));
        return referee::trouble_status;
    case referee::Action::play:
        break;
    }
    referee::TerminalConsole console(
        command.glyphs.value_or(referee::TerminalConsole::mode_from_locale()));
    // The window hint goes under the introduction, where it stays while the gate waits for 14.
    const auto hint_at_gate = [&console] {
        const auto window = referee::output_window_size();
        const std::string hint
            = window ? referee::window_hint(referee::play_window, *window) : std::string();
        if (!hint.empty()) {
            console.flush();
            referee::write_error_output("\n" + hint);
        }
    };
    const int status = referee::run_referee(console, hint_at_gate);
    console.finish_run();
    return status;
}
