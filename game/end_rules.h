// The end-of-game rules run at the start of every request: the draw for lack of material, then
// mate and stalemate for each side, judged by counting requests. They only announce.
#pragma once

namespace referee {

struct Game;

void apply_end_rules(Game& game);

void announce_draw(Game& game);
void end_mate_small(Game& game);
void end_mate_big(Game& game);
void end_stalemate_small(Game& game);
void end_stalemate_big(Game& game);

} // namespace referee
