#include "state/game_state.h"

namespace referee {

std::array<Code, 64> GameState::initial_board() {
    constexpr std::array<Kind, 8> back_rank{Kind::rook, Kind::knight, Kind::bishop, Kind::queen,
        Kind::king, Kind::bishop, Kind::knight, Kind::rook};
    std::array<Code, 64> board{};
    for (int rank = 1; rank <= 8; ++rank) {
        for (int file = 0; file < 8; ++file) {
            const Square square{rank, file};
            Code code = empty_shade(square);
            if (rank == 1 || rank == 8) {
                code = code_of(
                    rank == 1 ? Side::small : Side::big, back_rank[static_cast<std::size_t>(file)]);
            } else if (rank == 2 || rank == 7) {
                code = code_of(rank == 2 ? Side::small : Side::big, Kind::pawn);
            }
            board[index(square)] = code;
        }
    }
    return board;
}

WalkEnd GameState::walk(Square from, Dir dir, int limit) const {
    Square square = from;
    for (int distance = 1; distance <= limit; ++distance) {
        square = square + dir;
        const Code code = cell(square);
        if (!is_empty(code)) {
            return {code, distance};
        }
    }
    return {NOTHING, limit};
}

void GameState::forget_check() {
    for (Side side : {Side::small, Side::big}) {
        knight_check[side] = Tri::no;
        for (Dir ray : diagonal_dirs) {
            diag_check[side][ray] = Tri::no;
        }
        for (Dir ray : straight_dirs) {
            line_check[side][ray] = Tri::no;
            disc_check_ray[side][ray] = Tri::no;
        }
        adjacent_rank_check[side] = Tri::no;
        adjacent_file_check[side] = Tri::no;
        disc_check[side] = Tri::no;
        in_check[side] = Tri::no;
        check_remains_any[side] = Tri::no;
    }
}

int* GameState::counter_of(Code code) {
    for (Side side : {Side::small, Side::big}) {
        for (std::size_t kind = 0; kind < counted_kinds; ++kind) {
            if (code == code_of(side, static_cast<Kind>(kind))) {
                return &piece_counts[side][kind];
            }
        }
    }
    return nullptr;
}

} // namespace referee
