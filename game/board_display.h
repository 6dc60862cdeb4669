// The framed board and the legend of pieces with their counts.
#pragma once

#include "console/console.h"
#include "game/game_state.h"

namespace referee {

struct Game;

// Clears the window and draws the whole board, then the legend: each piece's figure, its count
// and its short name.
void draw_board(const GameState& state, Console& console);
void draw_board(Game& game);

} // namespace referee
