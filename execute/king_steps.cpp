#include "execute/execute.h"

#include "game/game.h"

#include <algorithm>
#include <cstdlib>

namespace referee {

namespace {

// The order in which the four diagonal step tests of a side are computed and printed; each
// catches the step directly away from a checking piece on that ray.
constexpr std::array<Dir, 4> step_test_order{
    Dir::down_right, Dir::up_left, Dir::down_left, Dir::up_right};

bool is_step(const GameState& state, Dir dir) {
    const Square from = state.from();
    return state.to() == from + dir;
}

// The step tests print only while nothing has been carried out in the request.
void say(Game& game, Tri flag, std::string_view message) {
    if (flag == Tri::yes && !game.state.carried_out) {
        game.print(message);
    }
}

void diagonal_step_tests(Game& game, Side side, std::string_view message) {
    GameState& state = game.state;
    // A pawn attacks only the squares diagonally next to it, so a step away from a checking
    // pawn next to the king leaves its reach.
    const Code checking_pawn = code_of(opponent(side), Kind::pawn);
    for (Dir ray : step_test_order) {
        state.step_keeps_diag_check[side][ray] = tri(state.diag_check[side][ray] == Tri::yes
            && is_step(state, opposite(ray)) && state.cell(state.from() + ray) != checking_pawn);
    }
    for (Dir ray : step_test_order) {
        say(game, state.step_keeps_diag_check[side][ray], message);
    }
}

// Whether the destination holds a rook or queen of the side that checks the king: a king may
// take such a piece beside it even along the line of its check.
bool takes_line_piece(const GameState& state, Side side) {
    const Code destination = state.to_code();
    return destination == code_of(opponent(side), Kind::queen)
        || destination == code_of(opponent(side), Kind::rook);
}

void rank_line_test(Game& game, Side side, std::string_view message) {
    GameState& state = game.state;
    const bool rank_check = state.line_check[side][Dir::right] == Tri::yes
        || state.line_check[side][Dir::left] == Tri::yes
        || state.disc_check_ray[side][Dir::right] == Tri::yes
        || state.disc_check_ray[side][Dir::left] == Tri::yes;
    // Taking the checking rook or queen right beside the king answers the check.
    const bool takes_adjacent_checker
        = state.adjacent_rank_check[side] == Tri::yes && takes_line_piece(state, side);
    state.rank_move_keeps_line_check[side]
        = tri(rank_check && !takes_adjacent_checker && state.to().rank == state.from().rank);
    say(game, state.rank_move_keeps_line_check[side], message);
}

void adjacent_tests(Game& game, Side side, std::string_view message) {
    GameState& state = game.state;
    state.rank_move_keeps_adjacent_check[side] = tri(state.adjacent_rank_check[side] == Tri::yes
        && !takes_line_piece(state, side) && state.to().rank == state.from().rank);
    say(game, state.rank_move_keeps_adjacent_check[side], message);
    state.file_move_keeps_adjacent_check[side] = tri(state.adjacent_file_check[side] == Tri::yes
        && !takes_line_piece(state, side) && state.to().file == state.from().file);
    say(game, state.file_move_keeps_adjacent_check[side], message);
}

void king_step(Game& game, Side side) {
    GameState& state = game.state;
    const int rank_distance = std::abs(state.to().rank - state.from().rank);
    const int file_distance = std::abs(state.to().file - state.from().file);
    const bool one_square = std::max(rank_distance, file_distance) == 1;
    // The destination flags of the king, then the seven persisting-check flags of its side.
    const auto holds = [](Tri flag) { return flag == Tri::yes; };
    const bool destination_attacked = holds(state.king_dest_knight_attacked[side])
        || holds(state.king_dest_line_attacked[side]) || holds(state.king_dest_next_to_king[side])
        || holds(state.king_dest_diagonal_attacked[side]);
    const bool check_kept
        = std::any_of(step_test_order.begin(), step_test_order.end(),
              [&](Dir ray) { return holds(state.step_keeps_diag_check[side][ray]); })
        || holds(state.rank_move_keeps_line_check[side])
        || holds(state.rank_move_keeps_adjacent_check[side])
        || holds(state.file_move_keeps_adjacent_check[side]);
    const bool safe = !destination_attacked && !check_kept;
    const bool own_piece_there = state.target[side] == Tri::yes && state.target_empty != Tri::yes;
    if (state.from_code() == king_of(side) && state.is_side_to_move(side) && safe
        && !own_piece_there && one_square) {
        make_move(game);
    }
}

} // namespace

void apply_king_rules(Game& game) {
    diagonal_step_tests(game, Side::small, "\t JE AKOMA SHAH NGA FILIM OSE DAMAM");
    rank_line_test(game, Side::small, "\n\t JE AKOMA SHAH NGA TORJAM OSE DAMAM QE TE DHA SHAH");
    adjacent_tests(game, Side::small, "\n\t JE AKOMA SHAH NGA TORJAM OSE DAMAM NGJITUR");
    king_step(game, Side::small);

    diagonal_step_tests(game, Side::big, "\t JE AKOMA SHAH NGA FILIV OSE DAMAV QE TE DHA SHAH");
    adjacent_tests(game, Side::big, "\n\t JE AKOMA SHAH NGA TORJAV OSE DAMAV NGJITUR");
    rank_line_test(game, Side::big, "\t JE SHAH AKOMA NGA TORJAV OSE DAMAV QE TE DHA SHAH");
    king_step(game, Side::big);
}

} // namespace referee
