// Whose turn it is, with the number of the request that the prompt shows. The number counts
// half-moves: the small side plays the odd ones, the big side the even ones (negative numbers,
// which take-backs at the start reach, included). What each request does to the turn is said
// here, in steps of one number.
#pragma once

#include "state/types.h"

namespace referee {

class Turn {
public:
    constexpr Turn() = default;
    constexpr explicit Turn(int number)
        : number_(number) { }

    [[nodiscard]] constexpr int number() const { return number_; }
    [[nodiscard]] constexpr Side side() const {
        return (number_ & 1) != 0 ? Side::small : Side::big;
    }
    // The turn `steps` numbers later (earlier when negative).
    [[nodiscard]] constexpr Turn advanced(int steps) const { return Turn(number_ + steps); }

private:
    int number_ = 1; // the small side opens the game at request 1
};

// A move carried out, castling included, hands the turn to the other side at the next number.
inline constexpr int move_steps = 1;
// A take-back gives the turn back to the side whose move it undoes, at that move's number.
inline constexpr int take_back_steps = -1;
// A promotion hands the turn to the colour opposite the new piece's: a piece of the pawn's own
// colour passes the turn like a move; the small pawn made a big piece keeps the turn at the same
// number, the big pawn made a small piece has it again two numbers on.
constexpr int promotion_steps(Side pawn, Side piece) {
    return move_steps + (pawn == Side::big ? 1 : 0) - (piece == Side::big ? 1 : 0);
}

// A request that neither carries out nor takes back anything leaves the turn as it was: the
// same side is asked again under the same number.

} // namespace referee
