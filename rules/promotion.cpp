#include "rules/rules.h"

#include "execute/execute.h"
#include "rules/letters.h"
#include "state/game_state.h"

#include <cstdlib>

namespace referee {

namespace {

// A pawn of the side on its last rank but one, asked to advance to the empty last-rank square
// of its file or to take a piece diagonally on the last rank, naming the piece it becomes.
bool promotion_requested(const GameState& state, Side side) {
    const int last_but_one = side == Side::small ? 7 : 2;
    const int last = last_but_one + forward(side);
    const Square from = state.from();
    const Square to = state.to();
    const int file_step = std::abs(to.file - from.file);
    const bool advance = file_step == 0 && is_empty(state.cell({last, to.file}));
    const bool capture = file_step == 1 && state.target[opponent(side)] == Tri::yes;
    const auto piece = piece_of_letter(state.move_request.piece_char);
    const bool names_piece = piece.has_value() && *piece != BIG_PAWN && *piece != SMALL_PAWN;
    return state.from_code() == code_of(side, Kind::pawn) && !blocked(state, side)
        && state.is_side_to_move(side) && from.rank == last_but_one && to.rank == last
        && (advance || capture) && names_piece;
}

// Replaces the side's pawn with the piece named, capturing what stood on the destination.
void promote(GameState& state, Side side) {
    // A promotion gives check like a move: the lines it uncovers are found on the board before
    // it, the checks of the new piece on the board after it.
    detect_discovered_line_checks(state);
    const Code pawn = state.from_code();
    if (pawn == SMALL_PAWN || pawn == BIG_PAWN) {
        --*state.counter_of(pawn);
    }
    // Any counted piece on the destination is captured, a pawn too (a take-back can leave one
    // on the last rank), so that the legend keeps matching the board.
    if (int* counter = state.counter_of(state.to_code())) {
        --*counter;
    }
    // The trigger has made sure that the letter names a piece other than a pawn.
    Side new_side = side;
    if (const auto piece = piece_of_letter(state.move_request.piece_char)) {
        ++*state.counter_of(*piece);
        state.put(state.to(), *piece);
        new_side = is_piece_of(*piece, Side::big) ? Side::big : Side::small;
    }
    state.clear(state.from());
    state.report.redraw();
    state.report.promoted(side, new_side);
    detect_and_announce_checks(state);
}

} // namespace

void apply_promotions(GameState& state) {
    if (promotion_requested(state, Side::small)) {
        promote(state, Side::small);
    } else if (promotion_requested(state, Side::big)) {
        promote(state, Side::big);
    }
}

} // namespace referee
