#include "rules/rules.h"

#include "execute/execute.h"
#include "state/game_state.h"

#include <algorithm>
#include <cstdlib>

namespace referee {

// A side's pieces other than the king may move only while none of these flags holds: a pin,
// or a check of the last move that the request leaves unanswered.
bool blocked(const GameState& state, Side side) {
    const bool remains = std::any_of(all_dirs.begin(), all_dirs.end(),
        [&](Dir ray) { return state.check_remains[side][ray] == Tri::yes; });
    return state.pin_line[side] == Tri::yes || state.pin_diagonal[side] == Tri::yes
        || state.knight_check_remains[side] == Tri::yes || remains;
}

namespace {

// The preconditions shared by every rule: the piece is on the from-square, it is its side's
// turn, nothing blocks the side and, except for pawns, no own piece is on the destination.
bool may_move(const GameState& state, Side side, Kind kind) {
    return state.from_code() == code_of(side, kind) && state.is_side_to_move(side)
        && !blocked(state, side) && (kind == Kind::pawn || state.target[side] != Tri::yes);
}

struct Offset {
    int rank;
    int file;
};

Offset offset(const GameState& state) {
    return {state.to().rank - state.from().rank, state.to().file - state.from().file};
}

// Whether the destination lies on a straight run from the from-square, diagonal or along a
// rank or file, with every square strictly between empty.
bool clear_run(const GameState& state, bool diagonal) {
    const Offset d = offset(state);
    const int length = std::max(std::abs(d.rank), std::abs(d.file));
    const bool shape = diagonal ? std::abs(d.rank) == std::abs(d.file) && length >= 1
                                : (d.rank == 0) != (d.file == 0);
    if (!shape) {
        return false;
    }
    const int rank_step = (d.rank > 0) - (d.rank < 0);
    const int file_step = (d.file > 0) - (d.file < 0);
    const auto* const dir = std::find_if(all_dirs.begin(), all_dirs.end(),
        [&](Dir ray) { return step_of(ray).rank == rank_step && step_of(ray).file == file_step; });
    return state.walk(state.from(), *dir, length - 1).met == NOTHING;
}

void pawn_rule(GameState& state, Side side) {
    const int home = side == Side::small ? 2 : 7;
    const int last_but_one = side == Side::small ? 7 : 2;
    if (!may_move(state, side, Kind::pawn) || state.from().rank == last_but_one) {
        return;
    }
    const Offset d = offset(state);
    const Square from = state.from();
    const bool destination_empty = is_empty(state.to_code());
    const bool push = d.rank == forward(side) && d.file == 0 && destination_empty;
    const bool double_step = from.rank == home && d.rank == 2 * forward(side) && d.file == 0
        && is_empty(state.cell(from + Step{forward(side), 0})) && destination_empty;
    const bool capture = d.rank == forward(side) && std::abs(d.file) == 1
        && is_piece_of(state.to_code(), opponent(side));
    if (push || double_step || capture) {
        make_move(state);
    }
}

void knight_rule(GameState& state, Side side) {
    const Offset d = offset(state);
    const bool jump = std::any_of(knight_jumps.begin(), knight_jumps.end(),
        [&](Step step) { return step.rank == d.rank && step.file == d.file; });
    if (may_move(state, side, Kind::knight) && jump) {
        make_move(state);
    }
}

// Bishops and queens on diagonals, or rooks and queens along ranks and files.
void line_rule(GameState& state, Kind line_piece, bool diagonal) {
    for (Side side : {Side::small, Side::big}) {
        for (Kind kind : {line_piece, Kind::queen}) {
            if (may_move(state, side, kind) && clear_run(state, diagonal)) {
                make_move(state);
                return;
            }
        }
    }
}

// The piece on the from-square does not move that way: said when a piece of the side to move
// still stands there once the pawn, knight and diagonal rules have had their turn. The rank and
// file rule comes after it, so a rook or queen moved along a rank or file hears it too.
void not_allowed_message(GameState& state) {
    const Side side = state.side_to_move();
    const Code piece = state.from_code();
    if (!is_piece_of(piece, side)) {
        return;
    }
    for (Kind kind : all_kinds) {
        if (piece == code_of(side, kind)) {
            state.report.say(wrong_way(kind), side);
        }
    }
}

// Capturing one's own piece and moving the other side's pieces, explained only while the request
// has neither moved a piece nor taken a move back.
void own_and_opponent_messages(GameState& state) {
    if (state.report.acted()) {
        return;
    }
    const Side side = state.side_to_move();
    if (state.target[side] == Tri::yes) {
        state.report.say(Message::own_piece_captured, side);
    }
    if (is_piece_of(state.from_code(), opponent(side))) {
        state.report.say(Message::other_side_moved, side);
    }
}

} // namespace

void apply_piece_rules(GameState& state) {
    pawn_rule(state, Side::small);
    pawn_rule(state, Side::big);
    knight_rule(state, Side::small);
    knight_rule(state, Side::big);
    line_rule(state, Kind::bishop, true);
    not_allowed_message(state);
    line_rule(state, Kind::rook, false);
    own_and_opponent_messages(state);
}

} // namespace referee
