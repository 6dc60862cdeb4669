// The referee on the real terminal.
#include "console/process.h"
#include "console/quit_notice.h"
#include "console/recording/record_file.h"
#include "console/recording/recording_console.h"
#include "console/terminal_console.h"
#include "game/request_loop.h"
#include "program/command_line.h"
#include "program/screen_size.h"

#include <optional>
#include <span>
#include <string>
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

// Says on standard error, after what the console has shown so far, when the window is smaller
// than the board needs.
void hint_window_size(referee::TerminalConsole& console, referee::BoardStyle style) {
    const auto window = referee::output_window_size();
    const std::string hint = window ? referee::window_hint(style, *window) : std::string();
    if (!hint.empty()) {
        console.flush();
        referee::write_error_output("\n" + hint);
    }
}

// A game kept in a record file: its record replayed, then what is read added to it. When the
// start gate lies inside the record, the window hint follows the screen shown after the replay,
// so that the clear at its top does not wipe the hint away. The game plays on `played`, which
// stands in front of `console` or is it.
int play_recorded(referee::TerminalConsole& console, referee::Console& played,
    referee::RecordFile& file, referee::BoardStyle style) {
    referee::RecordingConsole recording(
        played, file.read_all(), file, static_cast<std::size_t>(referee::window_for(style).lines));
    bool hint_pending = false;
    recording.on_live([&] {
        if (hint_pending) {
            hint_window_size(console, style);
        }
    });
    const int status = referee::run_referee(
        recording,
        [&] {
            if (recording.live()) {
                hint_window_size(console, style);
            } else {
                hint_pending = true;
            }
        },
        style);
    if (!recording.finish()) {
        referee::fail_run(file.not_a_record_text(*recording.refusal()));
    }
    return status;
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
    case referee::Action::bad_board:
    case referee::Action::no_file:
        referee::write_error_output(referee::refusal_text(command));
        return referee::trouble_status;
    case referee::Action::play:
        break;
    }
    std::optional<referee::RecordFile> record_file; // opened and locked before anything is shown
    if (command.save_file) {
        record_file.emplace(std::string(*command.save_file));
    }
    referee::TerminalConsole console(
        command.glyphs.value_or(referee::TerminalConsole::mode_from_locale()));
    // Where a person types, a 0 that does not quit is explained.
    std::optional<referee::QuitNotice> notice;
    if (referee::input_is_terminal()) {
        notice.emplace(console);
    }
    referee::Console& played = notice ? static_cast<referee::Console&>(*notice) : console;
    // The window hint goes under the introduction, where it stays while the gate waits for 14.
    const int status = record_file
        ? play_recorded(console, played, *record_file, command.board)
        : referee::run_referee(
            played, [&] { hint_window_size(console, command.board); }, command.board);
    console.finish_run();
    return status;
}
