// The program's command line: no argument plays a game, --save FILE one kept in FILE; --help
// and --version print and end; --glyphs chooses the board's character encoding and --board its
// drawing.
#pragma once

#include "console/text_console.h"
#include "game/board_display.h"

#include <optional>
#include <span>
#include <string>
#include <string_view>

namespace referee {

enum class Action {
    play, // no argument, or only --glyphs, --board and --save
    help, // --help or -h
    version, // --version or -V
    unknown_option, // an argument beginning with '-' that is none of these
    unexpected_argument, // an argument that is no option
    bad_glyphs, // --glyphs= with another value than utf-8 or cp437
    bad_board, // --board= with another value than full or compact
    no_file, // --save or -s as the last argument, without its file name
};

struct Command {
    Action action = Action::play;
    std::string_view argument; // the argument refused, for the last five actions
    std::optional<GlyphMode> glyphs; // forced by --glyphs=utf-8 or --glyphs=cp437
    std::optional<std::string_view> save_file; // the FILE of --save FILE, -s FILE, --save=FILE
    BoardStyle board = BoardStyle::full; // --board=compact or --board=full, the last one given
};

// The first argument refused makes the command; otherwise the first of --help and --version
// decides, and the last --glyphs chooses the encoding, the last --board the drawing.
[[nodiscard]] Command parse_command_line(std::span<const std::string_view> arguments);

// The usage printed by --help, with the window size that play needs.
[[nodiscard]] std::string usage_text();
// "referee" and the version, on one line.
[[nodiscard]] std::string version_line();
// The two lines for standard error about a refused argument (the last five actions).
[[nodiscard]] std::string refusal_text(const Command& command);

} // namespace referee
