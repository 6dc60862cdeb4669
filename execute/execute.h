// Carrying out an ordinary move, finding the checks it gives, and the kings' one-square steps.
#pragma once

namespace referee {

struct GameState;

// Moves the piece from the from-square to the destination, counts a capture, and reports the
// redraw, the turn passed and the checks the move gives. Its callers have judged the move
// already.
void make_move(GameState& state);

// On the board before the move: rooks and queens that the move uncovers along a rank or file.
void detect_discovered_line_checks(GameState& state);

// On the board after the move: the checks the moved piece gives directly, the bishops and queens
// it uncovers on the diagonals of the from-square, their announcements and the summaries.
void detect_and_announce_checks(GameState& state);

// The persisting-check tests and the king's one-square step, small king first.
void apply_king_rules(GameState& state);

} // namespace referee
