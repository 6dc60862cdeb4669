// The referee on the real terminal.
#include "console/terminal_console.h"
#include "game/request_loop.h"

int main() {
    referee::TerminalConsole console(referee::TerminalConsole::mode_from_locale());
    const int status = referee::run_referee(console);
    console.flush();
    return status;
}
