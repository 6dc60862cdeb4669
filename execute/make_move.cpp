#include "execute/execute.h"

#include "game/board_display.h"
#include "game/game.h"

namespace referee {

void make_move(Game& game) {
    GameState& state = game.state;
    detect_discovered_line_checks(game);
    if (int* counter = state.counter_of(state.to_code())) {
        --*counter;
    }
    state.put(state.to(), state.from_code());
    state.clear(state.from());
    draw_board(game);
    ++state.move_number;
    state.carried_out = true;
    detect_and_announce_checks(game);
}

} // namespace referee
