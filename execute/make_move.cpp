#include "execute/execute.h"

#include "state/game_state.h"

namespace referee {

void make_move(GameState& state) {
    detect_discovered_line_checks(state);
    if (int* counter = state.counter_of(state.to_code())) {
        --*counter;
    }
    state.put(state.to(), state.from_code());
    state.clear(state.from());
    state.report.redraw();
    state.report.moved();
    detect_and_announce_checks(state);
}

} // namespace referee
