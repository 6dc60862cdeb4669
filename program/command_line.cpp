#include "program/command_line.h"

#include "program/screen_size.h"
#include "referee_version.h"

namespace referee {

namespace {

constexpr std::string_view glyphs_option = "--glyphs=";
constexpr std::string_view save_option = "--save=";
constexpr std::string_view board_option = "--board=";

Action option(std::string_view argument) {
    if (argument == "--help" || argument == "-h") {
        return Action::help;
    }
    if (argument == "--version" || argument == "-V") {
        return Action::version;
    }
    if (argument.starts_with(glyphs_option)) {
        return Action::play;
    }
    // "-" alone names no option; like any word it would be a file or an operand.
    return argument.starts_with('-') && argument != "-" ? Action::unknown_option
                                                        : Action::unexpected_argument;
}

std::optional<GlyphMode> glyph_mode(std::string_view name) {
    if (name == "utf-8") {
        return GlyphMode::utf8;
    }
    if (name == "cp437") {
        return GlyphMode::raw;
    }
    return std::nullopt;
}

} // namespace

Command parse_command_line(std::span<const std::string_view> arguments) {
    Command command;
    for (std::size_t at = 0; at < arguments.size(); ++at) {
        const std::string_view argument = arguments[at];
        if (argument == "--save" || argument == "-s") {
            if (at + 1 == arguments.size()) {
                return {Action::no_file, argument, std::nullopt, std::nullopt};
            }
            command.save_file = arguments[++at];
            continue;
        }
        if (argument.starts_with(save_option)) {
            command.save_file = argument.substr(save_option.size());
            continue;
        }
        if (argument.starts_with(board_option)) {
            const std::string_view name = argument.substr(board_option.size());
            if (name != "full" && name != "compact") {
                return {Action::bad_board, name, std::nullopt, std::nullopt};
            }
            command.board = name == "full" ? BoardStyle::full : BoardStyle::compact;
            continue;
        }
        const Action action = option(argument);
        if (action == Action::unknown_option || action == Action::unexpected_argument) {
            return {action, argument, std::nullopt, std::nullopt};
        }
        if (action == Action::play) {
            command.glyphs = glyph_mode(argument.substr(glyphs_option.size()));
            if (!command.glyphs) {
                return {Action::bad_glyphs, argument.substr(glyphs_option.size()), std::nullopt,
                    std::nullopt};
            }
        } else if (command.action == Action::play) {
            command.action = action;
        }
    }
    return command;
}

std::string usage_text() {
    return "Usage: referee [--board=compact] [--glyphs=utf-8 | --glyphs=cp437] [--save FILE]\n"
           "       referee --help | --version\n"
           "A chess referee for two players at one keyboard. It draws the board, judges\n"
           "each move typed, announces check, mate and stalemate, and never plays\n"
           "itself. Its texts are in Albanian.\n"
           "\n"
           "Type 14 and Enter to start; then, at each prompt, type and press Enter:\n"
           "  a move       from-square, to-square and one character that is neither\n"
           "               'p' nor a digit: e2e4d\n"
           "  a take-back  at the next prompt (the other side's): the piece's square,\n"
           "               the square it came from, 'p', and the letter of the piece\n"
           "               it captured, or 'o' for none: e4e2po\n"
           "  a promotion  the pawn's square, the square on the last rank, any\n"
           "               character but 'p', and the new piece's letter: e7e8ed\n"
           "  castling     the king's move of two squares: e1g1d, e8c8d\n"
           "  quit         0 as the first character of a request. When 0 does not\n"
           "               end the game, type any move and then 0, or press Ctrl-C\n"
           "               (or Ctrl-D at the start of a line), which end it at once.\n"
           "Letters: u t k f d are the small pawn, rook, knight, bishop and queen,\n"
           "U T K F D the big ones. The small side (ranks 1 and 2) moves first. The\n"
           "move number counts half-moves, one per side.\n"
           "\n"
           "Mate and stalemate are judged by counting: a king left in check for five\n"
           "requests of its side is announced mate at the fifth; five refused requests\n"
           "in a row, not in check, announce stalemate. The game goes on after them.\n"
           "\n"
           "The board needs a window of at least "
        + std::to_string(play_window.columns) + " columns and " + std::to_string(play_window.lines)
        + " lines; the compact\n"
          "board (--board=compact) one of "
        + std::to_string(compact_window.columns) + " columns and "
        + std::to_string(compact_window.lines)
        + " lines, which the usual\n"
          "terminal of 80 x 24 has.\n"
          "\n"
          "Options:\n"
          "  --board=compact a board for 80 x 24: each square three columns of one line,\n"
          "                  the pieces shown by their letters (M and m: the kings)\n"
          "  --board=full    the large framed board (the default)\n"
          "  --glyphs=utf-8  send the board's glyphs as UTF-8 (the default in a UTF-8\n"
          "                  locale, and on a terminal in the C locale)\n"
          "  --glyphs=cp437  send them as code page 437 bytes (the default elsewhere)\n"
          "  -s, --save FILE keep the game in FILE: each line typed is added to it, and\n"
          "                  with the same FILE again the game goes on where it was\n"
          "                  left; 'referee < FILE' replays the whole game\n"
          "  -h, --help      print this help and exit\n"
          "  -V, --version   print the version and exit\n"
          "\n"
          "Exit status: 1 after a game, 0 after --help or --version, 2 for a bad\n"
          "argument, a read or write error, or a --save FILE that cannot be used.\n"
          "\n"
          "See referee(6) for the whole rules.\n";
}

std::string version_line() {
    return std::string("referee ") + REFEREE_VERSION + "\n";
}

std::string refusal_text(const Command& command) {
    const std::string argument(command.argument);
    std::string text;
    switch (command.action) {
    case Action::unexpected_argument:
        text = "referee: unexpected argument '" + argument + "'\n";
        break;
    case Action::bad_glyphs:
        text = "referee: --glyphs takes utf-8 or cp437, not '" + argument + "'\n";
        break;
    case Action::bad_board:
        text = "referee: --board takes full or compact, not '" + argument + "'\n";
        break;
    case Action::no_file:
        text = "referee: option '" + argument + "' needs a file name\n";
        break;
    default:
        text = "referee: unknown option '" + argument + "'\n";
        break;
    }
    return text + "Try 'referee --help'.\n";
}

} // namespace referee
