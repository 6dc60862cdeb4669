// A game in progress: the one game state, the console it is played on and the board drawing
// made for that console. Every operation of the referee takes it.
#pragma once

#include "console/console.h"
#include "game/board_display.h"
#include "game/game_state.h"

#include <initializer_list>
#include <string_view>

namespace referee {

struct Game {
    GameState state;
    Console& console;
    BoardDrawing drawing;

    explicit Game(Console& game_console, BoardStyle style = BoardStyle::full)
        : console(game_console)
        , drawing(game_console, style) { }

    void print(std::string_view format, std::initializer_list<int> args = {}) {
        referee::print(console, format, args);
    }
};

} // namespace referee
