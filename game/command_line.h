// The program's command line: no argument plays a game, --save FILE one kept in FILE; --help and
// --version print and end.
#pragma once

#include <optional>
#include <span>
#include <string>
#include <string_view>

namespace referee {

enum class Action {
    play, // no argument
    help, // --help or -h
    version, // --version or -V
    unknown, // any other argument
    no_file, // --save or -s as the last argument, without its file name
};

struct Command {
    Action action = Action::play;
    std::string_view argument; // the first argument that is not an option, for Action::unknown
    std::optional<std::string_view> save_file; // the FILE of --save FILE, -s FILE, --save=FILE
};

// Any argument that is no option makes the command unknown; otherwise the first option decides.
[[nodiscard]] Command parse_command_line(std::span<const std::string_view> arguments);

// The usage printed by --help, with the window size measured on the first screen.
[[nodiscard]] std::string usage_text();
// "referee" and the version, on one line.
[[nodiscard]] std::string version_line();
// The two lines for standard error about an unknown option.
[[nodiscard]] std::string unknown_option_text(std::string_view argument);
// The two lines for standard error about --save without a file name.
[[nodiscard]] std::string no_file_text(std::string_view option);

} // namespace referee
