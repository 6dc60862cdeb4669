#include "safety/safety.h"

#include "state/game_state.h"

namespace referee {

void analyse_king_safety(GameState& state) {
    analyse_king_destination(state);
    analyse_pins(state);
    analyse_remaining_checks(state);
}

} // namespace referee
