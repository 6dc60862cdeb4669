// Whether the piece on the from-square may go to the destination, and the three special
// requests: take-back, castling and promotion.
#pragma once

#include "state/types.h"

namespace referee {

struct GameState;

// Whether a pin or a check left unanswered by the request holds back the side's pieces other
// than the king, promoting pawns included.
bool blocked(const GameState& state, Side side);

// The movement rules of pawns, knights, bishops, rooks and queens, with their refusal messages.
void apply_piece_rules(GameState& state);

// Whether the letter is one that a take-back understands (a piece letter or 'o').
bool is_take_back_letter(char letter);

// Puts the piece on the from-square back on the destination and restores what it had captured.
void take_back(GameState& state);

// The four castling triggers: small and big king side, then small and big queen side.
void apply_castling(GameState& state);

// The small pawn's promotion trigger, then the big pawn's.
void apply_promotions(GameState& state);

} // namespace referee
