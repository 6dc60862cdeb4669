// The referee on the real terminal.
#include "console/process.h"
#include "console/terminal_console.h"
#include "game/request_loop.h"
#include "game/screen_size.h"

int main() {
    if (const auto window = referee::output_window_size()) {
        referee::write_error_output(referee::window_hint(referee::first_screen_size(), *window));
    }
    referee::TerminalConsole console(referee::TerminalConsole::mode_from_locale());
    const int status = referee::run_referee(console);
    console.flush();
    return status;
}
