#include "safety/safety.h"

#include "state/game_state.h"

#include <algorithm>

namespace referee {

namespace {

// Whether, on some ray of `king_rays`, the from-square stands between the king of
// `king_side` (that way) and a line piece of the other side (the other way), and the
// destination leaves that line. What stands on the from-square does not matter.
bool pinned(
    const GameState& state, Side king_side, const std::array<Dir, 4>& king_rays, Kind line_piece) {
    const Side attacker = opponent(king_side);
    const Square from = state.from();
    return std::any_of(king_rays.begin(), king_rays.end(), [&](Dir king_ray) {
        const Code behind = state.walk(from, opposite(king_ray), either_side_of_from).met;
        return state.walk(from, king_ray, either_side_of_from).met == king_of(king_side)
            && (behind == code_of(attacker, line_piece) || behind == code_of(attacker, Kind::queen))
            && leaves_line(from, state.to(), king_ray);
    });
}

} // namespace

void analyse_pins(GameState& state) {
    state.pin_diagonal[Side::big] = tri(pinned(state, Side::big, diagonal_dirs, Kind::bishop));
    state.pin_diagonal[Side::small] = tri(pinned(state, Side::small, diagonal_dirs, Kind::bishop));
    const auto warn = [&](Message message, Side side, const PerSide<Tri>& pin) {
        if (pin[side] == Tri::yes) {
            state.report.say(message, side);
        }
    };
    warn(Message::pin_diagonal, Side::small, state.pin_diagonal);
    warn(Message::pin_diagonal, Side::big, state.pin_diagonal);

    state.pin_line[Side::big] = tri(pinned(state, Side::big, straight_dirs, Kind::rook));
    state.pin_line[Side::small] = tri(pinned(state, Side::small, straight_dirs, Kind::rook));
    warn(Message::pin_line, Side::small, state.pin_line);
    warn(Message::pin_line, Side::big, state.pin_line);
}

} // namespace referee
