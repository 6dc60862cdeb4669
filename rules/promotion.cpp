#include "rules/rules.h"

#include "execute/execute.h"
#include "game/board_display.h"
#include "game/game.h"
#include "rules/letters.h"

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

} // namespace

void apply_promotion(Game& game) {
    GameState& state = game.state;
    // A promotion gives check like a move: the lines it uncovers are found on the board before
    // it, the checks of the new piece on the board after it.
    detect_discovered_line_checks(game);
    const Code pawn = state.from_code();
    if (pawn == SMALL_PAWN || pawn == BIG_PAWN) {
        --*state.counter_of(pawn);
    }
    // Any counted piece on the destination is captured, a pawn too (a take-back can leave one
    // on the last rank), so that the legend keeps matching the board.
    if (int* counter = state.counter_of(state.to_code())) {
        --*counter;
    }
    if (const auto piece = piece_of_letter(state.move_request.piece_char);
        piece && *piece != SMALL_PAWN && *piece != BIG_PAWN) {
        ++*state.counter_of(*piece);
        state.put(state.to(), *piece);
        if (is_piece_of(*piece, Side::big)) {
            --state.move_number; // the big side's pass skips the loop's final subtraction
        }
    }
    state.clear(state.from());
    draw_board(game);
    ++state.move_number;
    state.carried_out = true;
    detect_and_announce_checks(game);
}

Promotion apply_promotions(Game& game) {
    if (promotion_requested(game.state, Side::small)) {
        apply_promotion(game);
        return Promotion::small;
    }
    if (promotion_requested(game.state, Side::big)) {
        apply_promotion(game);
        return Promotion::big;
    }
    return Promotion::none;
}

} // namespace referee
