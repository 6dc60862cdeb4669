#include "execute/execute.h"

#include "state/game_state.h"

#include <algorithm>

namespace referee {

namespace {

bool is_code(Code code, Side side, std::initializer_list<Kind> kinds) {
    return std::any_of(
        kinds.begin(), kinds.end(), [&](Kind kind) { return code == code_of(side, kind); });
}

bool any_yes(const PerDir<Tri>& flags, const std::array<Dir, 4>& rays) {
    return std::any_of(rays.begin(), rays.end(), [&](Dir ray) { return flags[ray] == Tri::yes; });
}

// The checks that a move by `attacker` gives to the other side's king. The moved piece stands
// on the destination; the from-square is empty now.
void detect_checks_on(GameState& state, Side king_side) {
    const Side attacker = opponent(king_side);
    const Code king = king_of(king_side);
    const Square from = state.from();
    const Square to = state.to();
    const Code moved = state.cell(to);

    state.knight_check[king_side] = tri(moved == code_of(attacker, Kind::knight)
        && std::any_of(knight_jumps.begin(), knight_jumps.end(),
            [&](Step jump) { return state.cell(to + jump) == king; }));

    const bool moved_bishop_or_queen = is_code(moved, attacker, {Kind::bishop, Kind::queen});
    for (Dir ray : diagonal_dirs) {
        // The ray names where the checking piece stands as seen from the king.
        const bool direct
            = moved_bishop_or_queen && state.walk(to, opposite(ray), whole_ray).met == king;
        const bool discovered = is_code(state.walk(from, ray, either_side_of_from).met, attacker,
                                    {Kind::bishop, Kind::queen})
            && state.walk(from, opposite(ray), either_side_of_from).met == king;
        // A pawn gives check from the square diagonally next to the king, on the king's side
        // that faces the pawn's advance: the ray names where the pawn stands.
        const bool pawn = moved == code_of(attacker, Kind::pawn)
            && step_of(opposite(ray)).rank == forward(attacker)
            && state.cell(to + opposite(ray)) == king;
        state.diag_check[king_side][ray] = tri(direct || discovered || pawn);
    }

    const bool moved_rook_or_queen = is_code(moved, attacker, {Kind::rook, Kind::queen});
    for (Dir ray : straight_dirs) {
        // A rook or queen checks along the line from any distance, the square next to the king
        // included; the adjacent flags below say in addition that it stands right there.
        const WalkEnd toward_king = state.walk(to, opposite(ray), whole_ray);
        state.line_check[king_side][ray] = tri(moved_rook_or_queen && toward_king.met == king);
    }

    state.adjacent_rank_check[king_side] = tri(moved_rook_or_queen
        && (state.cell(to + Dir::left) == king || state.cell(to + Dir::right) == king));
    state.adjacent_file_check[king_side] = tri(moved_rook_or_queen
        && (state.cell(to + Dir::up) == king || state.cell(to + Dir::down) == king));

    state.disc_check[king_side] = tri(any_yes(state.disc_check_ray[king_side], straight_dirs));
}

void summarise_checks(GameState& state, Side king_side) {
    // The small side's summary leaves its discovered checks out; the big side's counts them.
    const bool discovered = king_side == Side::big && state.disc_check[king_side] == Tri::yes;
    state.in_check[king_side] = tri(state.knight_check[king_side] == Tri::yes
        || any_yes(state.diag_check[king_side], diagonal_dirs)
        || any_yes(state.line_check[king_side], straight_dirs) || discovered);

    const bool line_remains = std::any_of(all_dirs.begin(), all_dirs.end(),
        [&](Dir ray) { return state.check_remains[king_side][ray] == Tri::yes; });
    state.check_remains_any[king_side]
        = tri(state.knight_check_remains[king_side] == Tri::yes || line_remains);
}

} // namespace

void detect_and_announce_checks(GameState& state) {
    detect_checks_on(state, Side::big);
    detect_checks_on(state, Side::small);

    // Each kind of check for the big king, then for the small one.
    const auto announce = [&](bool checked, Message message, Side king_side) {
        if (checked) {
            state.report.say(message, king_side);
        }
    };
    const auto is_yes = [](Tri flag) { return flag == Tri::yes; };
    const auto adjacent = [&](Side side) {
        return is_yes(state.adjacent_rank_check[side]) || is_yes(state.adjacent_file_check[side]);
    };
    announce(adjacent(Side::big), Message::check_adjacent, Side::big);
    announce(adjacent(Side::small), Message::check_adjacent, Side::small);
    announce(is_yes(state.knight_check[Side::big]), Message::check_knight, Side::big);
    announce(is_yes(state.knight_check[Side::small]), Message::check_knight, Side::small);
    announce(
        any_yes(state.diag_check[Side::big], diagonal_dirs), Message::check_diagonal, Side::big);
    announce(any_yes(state.diag_check[Side::small], diagonal_dirs), Message::check_diagonal,
        Side::small);
    announce(is_yes(state.disc_check[Side::big]), Message::check_discovered, Side::big);
    announce(is_yes(state.disc_check[Side::small]), Message::check_discovered, Side::small);
    announce(any_yes(state.line_check[Side::big], straight_dirs), Message::check_line, Side::big);
    announce(
        any_yes(state.line_check[Side::small], straight_dirs), Message::check_line, Side::small);

    summarise_checks(state, Side::big);
    summarise_checks(state, Side::small);
}

} // namespace referee
