#include "rules/rules.h"

#include "execute/execute.h"
#include "game/game.h"

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

void pawn_rule(Game& game, Side side) {
    GameState& state = game.state;
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
        make_move(game);
    }
}

void knight_rule(Game& game, Side side) {
    GameState& state = game.state;
    const Offset d = offset(state);
    const bool jump = std::any_of(knight_jumps.begin(), knight_jumps.end(),
        [&](Step step) { return step.rank == d.rank && step.file == d.file; });
    if (may_move(state, side, Kind::knight) && jump) {
        make_move(game);
    }
}

// Bishops and queens on diagonals, or rooks and queens along ranks and files.
void line_rule(Game& game, Kind line_piece, bool diagonal) {
    GameState& state = game.state;
    for (Side side : {Side::small, Side::big}) {
        for (Kind kind : {line_piece, Kind::queen}) {
            if (may_move(state, side, kind) && clear_run(state, diagonal)) {
                make_move(game);
                return;
            }
        }
    }
}

// The piece on the from-square does not move that way (printed for the side to move only).
void not_allowed_message(Game& game) {
    // clang-format off
        struct Message { Code code; std::string_view text; };
        static constexpr std::array<Message, 12> messages {{
            {SMALL_PAWN, "\t ERROR 519! USHTARIV S'LEVIZ NE ATE MENYRE!"},
            {BIG_PAWN, "\t ERROR 519! USHTARIM S'LEVIZ NE ATE MENYRE!"},
            {SMALL_QUEEN, "\t ERROR 519! DAMAV S'LEVIZ NE ATE MENYRE!"},
            {SMALL_BISHOP, "\t ERROR 519! FILIV S'LEVIZ NE ATE MENYRE!"},
            {BIG_QUEEN, "\t ERROR 519! DAMAM S'LEVIZ NE ATE MENYRE!"},
            {BIG_BISHOP, "\t ERROR 519! FILIM S'LEVIZ NE ATE MENYRE!"},
            {SMALL_ROOK, "\t ERROR 519! TORJAV S'LEVIZ NE ATE MENYRE!"},
            {BIG_ROOK, "\t ERROR 519! TORJAM S'LEVIZ NE ATE MENYRE!"},
            {SMALL_KNIGHT, "\t ERROR 519! KALIV S'LEVIZ NE ATE MENYRE!"},
            {BIG_KNIGHT, "\t ERROR 519! KALIM S'LEVIZ NE ATE MENYRE!"},
            {SMALL_KING, "\t ERROR 519! MBRETIV S'LEVIZ NE ATE MENYRE!"},
            {BIG_KING, "\t ERROR 519! MBRETIM S'LEVIZ NE ATE MENYRE!"},
        }};
    // clang-format on
    const GameState& state = game.state;
    if (!is_piece_of(state.from_code(), state.side_to_move())) {
        return;
    }
    for (const Message& message : messages) {
        if (message.code == state.from_code()) {
            game.print(message.text);
        }
    }
}

// Capturing one's own piece and moving the other side's pieces, explained while nothing has
// been carried out in the request.
void own_and_opponent_messages(Game& game) {
    const GameState& state = game.state;
    if (state.carried_out) {
        return;
    }
    const bool small_to_move = state.is_side_to_move(Side::small);
    if (small_to_move && state.target[Side::small] == Tri::yes) {
        game.print("\t TE VOGLIT: S'MUND TE HANI GURIN TUAJ");
    }
    if (!small_to_move && state.target[Side::big] == Tri::yes) {
        game.print("\t TE MADHTI: S'MUND TE HANI GURIN TUAJ");
    }
    if (small_to_move && is_piece_of(state.from_code(), Side::big)) {
        game.print("\t TE VOGLIT: S'MUND TE LEVIZNI GURET E TE MADHIT");
    } else if (!small_to_move && is_piece_of(state.from_code(), Side::small)) {
        game.print("\t TE MADHIT: S'MUND TE LEVIZNI GURET E TE VOGLIT");
    }
}

} // namespace

void apply_piece_rules(Game& game) {
    pawn_rule(game, Side::small);
    pawn_rule(game, Side::big);
    knight_rule(game, Side::small);
    knight_rule(game, Side::big);
    line_rule(game, Kind::bishop, true);
    not_allowed_message(game);
    line_rule(game, Kind::rook, false);
    own_and_opponent_messages(game);
}

} // namespace referee
