#include "execute/execute.h"

#include "state/game_state.h"

namespace referee {

namespace {

// Whether the code is a rook or a queen of the side.
bool is_line_piece(Code code, Side side) {
    return code == code_of(side, Kind::rook) || code == code_of(side, Kind::queen);
}

} // namespace

void detect_discovered_line_checks(GameState& state) {
    const Square from = state.from();
    const Square to = state.to();
    for (Side king_side : {Side::big, Side::small}) {
        for (Dir ray : straight_dirs) {
            // The ray names where the rook or queen stands as seen from the king: the walk to it
            // goes that way from the from-square, the walk to the king the other way.
            const bool uncovered = leaves_line(from, to, ray)
                && is_line_piece(state.walk(from, ray, whole_ray).met, opponent(king_side))
                && state.walk(from, opposite(ray), whole_ray).met == king_of(king_side);
            state.disc_check_ray[king_side][ray] = tri(uncovered);
        }
    }
}

} // namespace referee
