// The end-of-game rules run at the start of every request: the draw for lack of material, then
// mate and stalemate for each side, judged by counting requests. They only announce: the game
// goes on.
#pragma once

namespace referee {

struct GameState;

void apply_end_rules(GameState& state);

} // namespace referee
