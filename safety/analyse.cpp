#include "safety/safety.h"

namespace referee {

void analyse_king_safety(Game& game) {
    analyse_king_destination(game);
    analyse_pins(game);
    analyse_remaining_checks(game);
}

} // namespace referee
