#include "safety/safety.h"

#include "game/game.h"

namespace referee {

namespace {

// Seven steps from the destination toward the king: the destination answers a line check when
// it lies on the checking line with nothing between it and the king, up to the far end of the
// longest line, where the checking piece itself may stand.
constexpr int answer_reach = 7;

bool answers(const GameState& state, Side king_side, Dir ray) {
    return state.walk(state.to(), opposite(ray), answer_reach).met == king_of(king_side);
}

void knight_rule(Game& game, Side king_side, std::string_view warning) {
    GameState& state = game.state;
    // Any knight of the checking side on the destination answers a knight check.
    state.knight_check_remains[king_side] = tri(state.knight_check[king_side] == Tri::yes
        && state.to_code() != code_of(opponent(king_side), Kind::knight));
    if (state.knight_check_remains[king_side] == Tri::yes) {
        game.print(warning);
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

void analyse_remaining_checks(Game& game) {
    knight_rule(game, Side::big, "\n\t JE SHAH AKOMA NGA KALIV, DUHET TA EVITONI ATE");
    knight_rule(game, Side::small, "\n\t JE SHAH AKOMA NGA KALIM, DUHET TA EVITONI ATE");
    diagonal_rules(game.state, Side::big);
    diagonal_rules(game.state, Side::small);
    line_rules(game.state, Side::big);
    line_rules(game.state, Side::small);
}

} // namespace referee
