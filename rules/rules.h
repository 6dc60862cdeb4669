// Whether the piece on the from-square may go to the destination, and the three special
// requests: take-back, castling and promotion.
#pragma once

#include "state/types.h"

namespace referee {

struct Game;
struct GameState;

// Whether a pin or a check left unanswered by the request holds back the side's pieces other
// than the king, promoting pawns included.
bool blocked(const GameState& state, Side side);

// The movement rules of pawns, knights, bishops, rooks and queens, with their refusal messages.
void apply_piece_rules(Game& game);

// Whether the letter is one that a take-back understands (a piece letter or 'o').
bool is_take_back_letter(char letter);

// Puts the piece on the from-square back on the destination and restores what it had captured.
void take_back(Game& game);

// The four castling triggers: small and big king side, then small and big queen side.
void apply_castling(Game& game);
void castle_king_side(Game& game);
void castle_queen_side(Game& game);

enum class Promotion { none, small, big };

// The small pawn's promotion trigger, then the big pawn's; tells which one fired.
Promotion apply_promotions(Game& game);
void apply_promotion(Game& game);

} // namespace referee
