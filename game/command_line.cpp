#include "game/command_line.h"

#include "game/screen_size.h"

namespace referee {

namespace {

Action option(std::string_view argument) {
    if (argument == "--help" || argument == "-h") {
        return Action::help;
    }
    if (argument == "--version" || argument == "-V") {
        return Action::version;
    }
    return Action::unknown;
}

} // namespace

Command parse_command_line(std::span<const std::string_view> arguments) {
    Command command;
    for (std::size_t at = 0; at < arguments.size(); ++at) {
        const std::string_view argument = arguments[at];
        if (argument == "--save" || argument == "-s") {
            if (at + 1 == arguments.size()) {
                return {Action::no_file, argument, {}};
            }
            command.save_file = arguments[++at];
            continue;
        }
        if (argument.starts_with("--save=")) {
            command.save_file = argument.substr(std::string_view("--save=").size());
            continue;
        }
        const Action action = option(argument);
        if (action == Action::unknown) {
            return {Action::unknown, argument, {}};
        }
        if (command.action == Action::play) {
            command.action = action;
        }
    }
    return command;
}

std::string usage_text() {
    const WindowSize window = first_screen_size();
    return "Usage: referee [--help | --version]\n"
           "       referee [--save FILE]\n"
           "A chess referee for two players at one keyboard. It draws the board, judges\n"
           "each move typed, announces check, mate and stalemate, and never plays\n"
           "itself. Its texts are in Albanian.\n"
           "\n"
           "Type 14 and Enter to start; then, at each prompt, type and press Enter:\n"
           "  a move       from-square, to-square and one character that is neither\n"
           "               'p' nor a digit: e2e4d\n"
           "  a take-back  the piece's square, the square it came from, 'p', and the\n"
           "               letter of the piece it captured, or 'o' for none: e4e2po\n"
           "  a promotion  the pawn's square, the square on the last rank, any\n"
           "               character but 'p', and the new piece's letter: e7e8ed\n"
           "  castling     the king's move of two squares: e1g1d, e8c8d\n"
           "  quit         0 as the first character of a request (right after a\n"
           "               take-back or a promotion, type a move first)\n"
           "Letters: u t k f d are the small pawn, rook, knight, bishop and queen,\n"
           "U T K F D the big ones. The small side (ranks 1 and 2) moves first.\n"
           "\n"
           "The board needs a window of at least "
        + std::to_string(window.columns) + " columns and " + std::to_string(window.lines)
        + " lines.\n"
          "\n"
          "Options:\n"
          "  -h, --help     print this help and exit\n"
          "  -V, --version  print the version and exit\n"
          "  -s, --save FILE\n"
          "                 keep the game in FILE: each line typed is added to it, and\n"
          "                 with the same FILE again the game goes on where it was\n"
          "                 left; 'referee < FILE' replays the whole game\n"
          "\n"
          "See referee(6) for the whole rules.\n";
}

std::string version_line() {
    return std::string("referee ") + REFEREE_VERSION + "\n";
}

std::string unknown_option_text(std::string_view argument) {
    return "referee: unknown option '" + std::string(argument) + "'\nTry 'referee --help'.\n";
}

std::string no_file_text(std::string_view option) {
    return "referee: option '" + std::string(option)
        + "' needs a file name\nTry 'referee --help'.\n";
}

} // namespace referee
