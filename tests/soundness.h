// What every game state keeps after every request, whatever was typed: each cell holds one of the
// fourteen cell codes, each empty square its own shade, each counter the number of its pieces on
// the board, and the move number moves only as the request loop moves it. The stress test and the
// fuzz target both check it after every pass of the loop.
#pragma once

#include "state/game_state.h"

#include <algorithm>
#include <array>
#include <string>

namespace referee::soundness {

inline std::string square_name(Square square) {
    return {static_cast<char>('a' + square.file), static_cast<char>('0' + square.rank)};
}

// Empty when the state is sound, otherwise what is wrong with it.
inline std::string unsound(const GameState& state) {
    constexpr std::array<Code, 14> known{EMPTY_LIGHT, EMPTY_DARK, BIG_PAWN, BIG_ROOK, BIG_KNIGHT,
        BIG_BISHOP, BIG_QUEEN, BIG_KING, SMALL_PAWN, SMALL_ROOK, SMALL_KNIGHT, SMALL_BISHOP,
        SMALL_QUEEN, SMALL_KING};
    for (int rank = 1; rank <= 8; ++rank) {
        for (int file = 0; file < 8; ++file) {
            const Square square{rank, file};
            const Code code = state.cell(square);
            if (std::find(known.begin(), known.end(), code) == known.end()) {
                return "unknown code " + std::to_string(code) + " on " + square_name(square);
            }
            if (is_empty(code) && code != empty_shade(square)) {
                return "the other shade on the empty square " + square_name(square);
            }
        }
    }
    // The legend counts what stands on the board: nothing is destroyed or created unseen.
    for (Side side : {Side::small, Side::big}) {
        for (std::size_t kind = 0; kind < counted_kinds; ++kind) {
            const Code code = code_of(side, static_cast<Kind>(kind));
            const auto on_board = std::count(state.board.begin(), state.board.end(), code);
            if (state.piece_counts[side][kind] != on_board) {
                return "the counter of code " + std::to_string(code) + " says "
                    + std::to_string(state.piece_counts[side][kind]) + ", the board holds "
                    + std::to_string(on_board);
            }
        }
    }
    return "";
}

// Empty when one pass of the request loop moved the turn as the loop can: a refused request
// leaves the move number as it was, a move or castling adds 1, a take-back takes 1 off, and a
// promotion adds 1, or hands the turn back to its side (0 for the small side, 2 for the big
// one) when the pawn becomes a piece of the other side. A change of the number by 1 changes the
// board, but a take-back of nothing onto an empty square may leave it as it was.
inline std::string unsound_pass(const GameState& before, const GameState& after) {
    const int moved_by = after.current_turn().number() - before.current_turn().number();
    if (moved_by < -1 || moved_by > 2) {
        return "the move number moved by " + std::to_string(moved_by);
    }
    if (moved_by >= 1 && before.board == after.board) {
        return "the turn passed with the board unchanged";
    }
    return "";
}

} // namespace referee::soundness
