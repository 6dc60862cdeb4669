#include "execute/execute.h"

#include "state/game_state.h"

#include <algorithm>
#include <cstdlib>

namespace referee {

namespace {

// The order in which the four diagonal step tests of a side are made and said; each catches the
// step directly away from a checking piece on that ray.
constexpr std::array<Dir, 4> step_test_order{
    Dir::down_right, Dir::up_left, Dir::down_left, Dir::up_right};

bool is_step(const GameState& state, Dir dir) {
    const Square from = state.from();
    return state.to() == from + dir;
}

// A step that keeps the king in check is explained only while the request has neither moved a
// piece nor taken a move back.
void say(GameState& state, bool kept, Message message, Side side) {
    if (kept && !state.report.acted()) {
        state.report.say(message, side);
    }
}

// Whether the step keeps the king in a check along a diagonal.
bool diagonal_step_tests(GameState& state, Side side) {
    // A pawn attacks only the squares diagonally next to it, so a step away from a checking
    // pawn next to the king leaves its reach.
    const Code checking_pawn = code_of(opponent(side), Kind::pawn);
    bool any_kept = false;
    for (Dir ray : step_test_order) {
        const bool kept = state.diag_check[side][ray] == Tri::yes && is_step(state, opposite(ray))
            && state.cell(state.from() + ray) != checking_pawn;
        say(state, kept, Message::still_check_diagonal, side);
        any_kept = any_kept || kept;
    }
    return any_kept;
}

// Whether the destination holds a rook or queen of the side that checks the king: a king may
// take such a piece beside it even along the line of its check.
bool takes_line_piece(const GameState& state, Side side) {
    const Code destination = state.to_code();
    return destination == code_of(opponent(side), Kind::queen)
        || destination == code_of(opponent(side), Kind::rook);
}

// Whether a move along the rank keeps the king in a check along that rank.
bool rank_line_test(GameState& state, Side side) {
    const bool rank_check = state.line_check[side][Dir::right] == Tri::yes
        || state.line_check[side][Dir::left] == Tri::yes
        || state.disc_check_ray[side][Dir::right] == Tri::yes
        || state.disc_check_ray[side][Dir::left] == Tri::yes;
    // Taking the checking rook or queen right beside the king answers the check.
    const bool takes_adjacent_checker
        = state.adjacent_rank_check[side] == Tri::yes && takes_line_piece(state, side);
    const bool kept = rank_check && !takes_adjacent_checker && state.to().rank == state.from().rank;
    say(state, kept, Message::still_check_rank, side);
    return kept;
}

// Whether a move along the rank or the file keeps the king in the check of a rook or queen
// beside it on that rank or file.
bool adjacent_tests(GameState& state, Side side) {
    const bool rank_kept = state.adjacent_rank_check[side] == Tri::yes
        && !takes_line_piece(state, side) && state.to().rank == state.from().rank;
    say(state, rank_kept, Message::still_check_adjacent, side);
    const bool file_kept = state.adjacent_file_check[side] == Tri::yes
        && !takes_line_piece(state, side) && state.to().file == state.from().file;
    say(state, file_kept, Message::still_check_adjacent, side);
    return rank_kept || file_kept;
}

// The king's one-square step, unless its destination is attacked or the step keeps its check.
void king_step(GameState& state, Side side, bool check_kept) {
    const int rank_distance = std::abs(state.to().rank - state.from().rank);
    const int file_distance = std::abs(state.to().file - state.from().file);
    const bool one_square = std::max(rank_distance, file_distance) == 1;
    const auto holds = [](Tri flag) { return flag == Tri::yes; };
    const bool destination_attacked = holds(state.king_dest_knight_attacked[side])
        || holds(state.king_dest_line_attacked[side]) || holds(state.king_dest_next_to_king[side])
        || holds(state.king_dest_diagonal_attacked[side]);
    const bool safe = !destination_attacked && !check_kept;
    const bool own_piece_there = state.target[side] == Tri::yes && state.target_empty != Tri::yes;
    if (state.from_code() == king_of(side) && state.is_side_to_move(side) && safe
        && !own_piece_there && one_square) {
        make_move(state);
    }
}

} // namespace

void apply_king_rules(GameState& state) {
    // The small king's tests are said diagonal, rank, beside; the big king's diagonal, beside,
    // rank.
    const bool small_diagonal = diagonal_step_tests(state, Side::small);
    const bool small_rank = rank_line_test(state, Side::small);
    const bool small_adjacent = adjacent_tests(state, Side::small);
    king_step(state, Side::small, small_diagonal || small_rank || small_adjacent);

    const bool big_diagonal = diagonal_step_tests(state, Side::big);
    const bool big_adjacent = adjacent_tests(state, Side::big);
    const bool big_rank = rank_line_test(state, Side::big);
    king_step(state, Side::big, big_diagonal || big_adjacent || big_rank);
}

} // namespace referee
