#include "game/end_rules.h"

#include "state/game_state.h"

#include <climits>

namespace referee {

namespace {

int count(const GameState& state, Side side, Kind kind) {
    return state.piece_counts[side][static_cast<std::size_t>(kind)];
}

// With no rook, queen or pawn left, no minor piece at all, or some side with exactly one
// bishop or one knight, counts toward the draw.
void draw_rule(GameState& state) {
    bool heavy_or_pawn = false;
    bool minor = false;
    bool lone_minor = false;
    for (Side side : {Side::small, Side::big}) {
        for (Kind kind : {Kind::rook, Kind::queen, Kind::pawn}) {
            heavy_or_pawn = heavy_or_pawn || count(state, side, kind) != 0;
        }
        for (Kind kind : {Kind::knight, Kind::bishop}) {
            minor = minor || count(state, side, kind) != 0;
            lone_minor = lone_minor || count(state, side, kind) == 1;
        }
    }
    if (!heavy_or_pawn && (!minor || lone_minor) && state.draw_counter < INT_MAX) {
        ++state.draw_counter;
    }
    if (state.draw_counter > 1) {
        // The same text for both sides.
        state.report.say(Message::draw, Side::small, state.current_turn().number());
        if (state.draw_counter < INT_MAX) {
            ++state.draw_counter;
        }
    }
}

// A king left in check by a move that did not answer it: counted at every request until a
// move or take-back changes the check state; mate at the fifth request after the check.
void mate_rule(GameState& state, Side side) {
    int& counter = state.mate_counter[side];
    if (state.in_check[side] == Tri::yes && state.check_remains_any[side] == Tri::no) {
        ++counter;
    } else {
        counter = 1;
    }
    if (counter > 5) {
        state.report.say(Message::mate, side, state.current_turn().number());
        counter = 6;
    }
}

// A side not in check whose requests keep being judged unsafe by the king-safety analyses
// (last request's flags): stalemate after five such requests in a row.
void stalemate_rule(GameState& state, Side side) {
    int& counter = state.stalemate_counter[side];
    const bool unsafe = state.pin_line[side] == Tri::yes || state.pin_diagonal[side] == Tri::yes
        || state.king_dest_knight_attacked[side] == Tri::yes
        || state.king_dest_diagonal_attacked[side] == Tri::yes
        || state.king_dest_line_attacked[side] == Tri::yes;
    if (state.in_check[side] == Tri::no && unsafe) {
        ++counter;
    } else {
        counter = 1;
    }
    if (counter > 5) {
        state.report.say(Message::stalemate, side, state.current_turn().number());
        counter = 6;
    }
}

} // namespace

void apply_end_rules(GameState& state) {
    draw_rule(state);
    mate_rule(state, Side::small);
    mate_rule(state, Side::big);
    stalemate_rule(state, Side::small);
    stalemate_rule(state, Side::big);
}

} // namespace referee
