#include "rules/rules.h"

#include "state/game_state.h"

#include <algorithm>
#include <initializer_list>

namespace referee {

namespace {

constexpr int file_a = 0;
constexpr int file_b = 1;
constexpr int file_c = 2;
constexpr int file_d = 3;
constexpr int file_e = 4;
constexpr int file_f = 5;
constexpr int file_g = 6;
constexpr int file_h = 7;

constexpr int home_rank(Side side) {
    return side == Side::small ? 1 : 8;
}

// A castling request: the side's king on its home square e, asked to go to `king_to` on the
// same rank, with its turn, no attack seen on the destination, the squares between empty and
// the rook in its corner. Castling from any other rank would rewrite squares that are not the
// castling squares, so the king must stand on its home rank.
bool castling_requested(const GameState& state, Side side, int king_to, int rook_from,
    std::initializer_list<int> between) {
    const int rank = home_rank(side);
    const Square from = state.from();
    const Square to = state.to();
    const bool safe = state.king_dest_knight_attacked[side] != Tri::yes
        && state.king_dest_diagonal_attacked[side] != Tri::yes
        && state.king_dest_line_attacked[side] != Tri::yes;
    return state.from_code() == king_of(side) && state.is_side_to_move(side) && safe
        && from.rank == rank && to.rank == from.rank && from.file == file_e && to.file == king_to
        && std::all_of(between.begin(), between.end(),
            [&](int file) {
                return is_empty(state.cell({rank, file}));
            })
        && state.cell({rank, rook_from}) == code_of(side, Kind::rook);
}

// Moves the king from the from-square to the destination, empties the given squares of the
// from-rank and puts the rook on its new square.
void castle(GameState& state, std::initializer_list<int> emptied, int rook_to) {
    const Code king = state.from_code();
    const Side side = king == SMALL_KING ? Side::small : Side::big;
    if (king != SMALL_KING && king != BIG_KING) {
        return;
    }
    const int rank = state.from().rank;
    state.put(state.to(), king);
    state.clear(state.from());
    for (const int file : emptied) {
        state.clear({rank, file});
    }
    state.put({rank, rook_to}, code_of(side, Kind::rook));
    state.forget_check();
    state.report.redraw();
    state.report.moved();
}

void castle_king_side(GameState& state) {
    castle(state, {file_h}, file_f);
}

void castle_queen_side(GameState& state) {
    castle(state, {file_a, file_b}, file_d);
}

} // namespace

void apply_castling(GameState& state) {
    for (Side side : {Side::small, Side::big}) {
        if (castling_requested(state, side, file_g, file_h, {file_f, file_g})) {
            castle_king_side(state);
        }
    }
    for (Side side : {Side::small, Side::big}) {
        if (castling_requested(state, side, file_c, file_a, {file_d, file_c, file_b})) {
            castle_queen_side(state);
        }
    }
}

} // namespace referee
