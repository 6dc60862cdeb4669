#include "safety/safety.h"

#include "state/game_state.h"

#include <algorithm>

namespace referee {

namespace {

bool is_either(Code code, Code first, Code second) {
    return code == first || code == second;
}

// A bishop or queen of the attacker seeing the destination along a diagonal, or a pawn of the
// attacker one rank behind it (pawns capture forward).
bool diagonal_attack(const GameState& state, Side attacker) {
    const Square to = state.to();
    const bool line = std::any_of(diagonal_dirs.begin(), diagonal_dirs.end(), [&](Dir ray) {
        return is_either(state.walk(to, ray, whole_ray).met, code_of(attacker, Kind::bishop),
            code_of(attacker, Kind::queen));
    });
    const Code pawn = code_of(attacker, Kind::pawn);
    const int behind = -forward(attacker);
    return line || state.cell(to + Step{behind, -1}) == pawn
        || state.cell(to + Step{behind, 1}) == pawn;
}

bool knight_attack(const GameState& state, Side attacker) {
    return std::any_of(knight_jumps.begin(), knight_jumps.end(), [&](Step jump) {
        return state.cell(state.to() + jump) == code_of(attacker, Kind::knight);
    });
}

// A rook or queen of the attacker seeing the destination along its file or rank.
bool line_attack(const GameState& state, Side attacker) {
    return std::any_of(straight_dirs.begin(), straight_dirs.end(), [&](Dir ray) {
        return is_either(state.walk(state.to(), ray, whole_ray).met, code_of(attacker, Kind::rook),
            code_of(attacker, Kind::queen));
    });
}

bool next_to_king(const GameState& state, Side attacker) {
    return std::any_of(all_dirs.begin(), all_dirs.end(),
        [&](Dir dir) { return state.cell(state.to() + dir) == king_of(attacker); });
}

// A flag of the king on the from-square; the other side's flag is no. The board is read
// before the move, so the king's own square blocks the walks through it.
template <class Test> Tri for_moving_king(const GameState& state, Side king_side, Test test) {
    return tri(state.from_code() == king_of(king_side) && test(state, opponent(king_side)));
}

} // namespace

void analyse_king_destination(GameState& state) {
    const auto warn = [&](Message message, Side side, const PerSide<Tri>& flag) {
        if (flag[side] == Tri::yes) {
            state.report.say(message, side);
        }
    };

    state.king_dest_diagonal_attacked[Side::big]
        = for_moving_king(state, Side::big, diagonal_attack);
    state.king_dest_diagonal_attacked[Side::small]
        = for_moving_king(state, Side::small, diagonal_attack);
    warn(Message::king_dest_diagonal, Side::small, state.king_dest_diagonal_attacked);
    warn(Message::king_dest_diagonal, Side::big, state.king_dest_diagonal_attacked);

    state.king_dest_knight_attacked[Side::big] = for_moving_king(state, Side::big, knight_attack);
    warn(Message::king_dest_knight, Side::big, state.king_dest_knight_attacked);
    state.king_dest_knight_attacked[Side::small]
        = for_moving_king(state, Side::small, knight_attack);
    warn(Message::king_dest_knight, Side::small, state.king_dest_knight_attacked);

    state.king_dest_line_attacked[Side::big] = for_moving_king(state, Side::big, line_attack);
    state.king_dest_line_attacked[Side::small] = for_moving_king(state, Side::small, line_attack);
    warn(Message::king_dest_line, Side::big, state.king_dest_line_attacked);
    warn(Message::king_dest_line, Side::small, state.king_dest_line_attacked);

    state.king_dest_next_to_king[Side::big] = for_moving_king(state, Side::big, next_to_king);
    state.king_dest_next_to_king[Side::small] = for_moving_king(state, Side::small, next_to_king);
    warn(Message::king_dest_king, Side::small, state.king_dest_next_to_king);
    warn(Message::king_dest_king, Side::big, state.king_dest_next_to_king);
}

} // namespace referee
