#include "safety/safety.h"

#include "state/game_state.h"

namespace referee {

namespace {

// The destination answers a line check when it lies on the checking line with nothing between it
// and the king, up to the far end of the line, where the checking piece itself may stand.
bool answers(const GameState& state, Side king_side, Dir ray) {
    return state.walk(state.to(), opposite(ray), whole_ray).met == king_of(king_side);
}

void knight_rule(GameState& state, Side king_side) {
    // Any knight of the checking side on the destination answers a knight check.
    state.knight_check_remains[king_side] = tri(state.knight_check[king_side] == Tri::yes
        && state.to_code() != code_of(opponent(king_side), Kind::knight));
    if (state.knight_check_remains[king_side] == Tri::yes) {
        state.report.say(Message::knight_check_remains, king_side);
    }
}

void diagonal_rules(GameState& state, Side king_side) {
    for (Dir ray : {Dir::up_right, Dir::up_left, Dir::down_left, Dir::down_right}) {
        state.check_remains[king_side][ray]
            = tri(state.diag_check[king_side][ray] == Tri::yes && !answers(state, king_side, ray));
    }
}

void line_rules(GameState& state, Side king_side) {
    for (Dir ray : {Dir::down, Dir::up, Dir::right, Dir::left}) {
        const bool checked = state.line_check[king_side][ray] == Tri::yes
            || state.disc_check_ray[king_side][ray] == Tri::yes;
        // The king itself may leave the line. For the big king checked from its left the
        // referee grants that only when the check was direct, not when it was discovered.
        bool king_leaves
            = state.from_code() == king_of(king_side) && leaves_line(state.from(), state.to(), ray);
        if (king_side == Side::big && ray == Dir::left) {
            king_leaves = king_leaves && state.line_check[king_side][ray] == Tri::yes;
        }
        state.check_remains[king_side][ray]
            = tri(checked && !king_leaves && !answers(state, king_side, ray));
    }
}

} // namespace

void analyse_remaining_checks(GameState& state) {
    knight_rule(state, Side::big);
    knight_rule(state, Side::small);
    diagonal_rules(state, Side::big);
    diagonal_rules(state, Side::small);
    line_rules(state, Side::big);
    line_rules(state, Side::small);
}

} // namespace referee
