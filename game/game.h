// A game in progress: the one game state, the console it is played on and the board drawing
// made for that console. The request loop plays on it; the rules, analyses and execution below
// work on the state alone.
#pragma once

#include "console/console.h"
#include "game/board_display.h"
#include "state/game_state.h"

namespace referee {

struct Game {
    GameState state;
    Console& console;
    BoardDrawing drawing;

    explicit Game(Console& game_console, BoardStyle style = BoardStyle::full)
        : console(game_console)
        , drawing(game_console, style) { }
};

} // namespace referee
