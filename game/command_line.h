// The program's command line: no argument plays a game; --help and --version print and end.
#pragma once

#include <span>
#include <string>
#include <string_view>

namespace referee {

enum class Action {
    play, // no argument
    help, // --help or -h
    version, // --version or -V
    unknown, // any other argument
};

struct Command {
    Action action = Action::play;
    std::string_view argument; // the first argument that is not an option, for Action::unknown
};

// Any argument that is no option makes the command unknown; otherwise the first option decides.
[[nodiscard]] Command parse_command_line(std::span<const std::string_view> arguments);

// The usage printed by --help, with the window size measured on the first screen.
[[nodiscard]] std::string usage_text();
// "referee" and the version, on one line.
[[nodiscard]] std::string version_line();
// The two lines for standard error about an unknown option.
[[nodiscard]] std::string unknown_option_text(std::string_view argument);

} // namespace referee
