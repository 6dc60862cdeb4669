// The one game state of a run: board, counters, the turn, the request being judged with the report
// of what it did, and every flag the analyses leave for the rules that read them. Plain data and
// small queries, no I/O.
#pragma once

#include "state/report.h"
#include "state/turn.h"
#include "state/types.h"

#include <array>

namespace referee {

// The six items of one typed request, as read (a field the input did not supply keeps its value).
struct MoveRequest {
    char from_file = '\0';
    int from_rank = 0;
    char to_file = '\0';
    int to_rank = 0;
    char flag_char = '\0';
    char piece_char = '\0';

    // Only meaningful once the loop has accepted both file letters.
    [[nodiscard]] constexpr Square from() const { return {from_rank, from_file - 'a'}; }
    [[nodiscard]] constexpr Square to() const { return {to_rank, to_file - 'a'}; }
};

// What a walk met: the first non-empty code within its limit, OFF_BOARD at the edge, or NOTHING
// when the limit ran out over empty squares; distance is the number of steps taken.
struct WalkEnd {
    Code met;
    int distance;
};

// How far the walks reach. Seven steps go from any square to the board's edge on every ray, so a
// walk of that reach sees whatever stands first on the ray: the attacker of a square, the king a
// piece checks or a destination answers, the piece a move uncovers.
inline constexpr int whole_ray = 7;
// Six steps from the from-square reach both a king it shields and the piece it shields the king
// from, since the two stand on opposite sides of it on the same line.
inline constexpr int either_side_of_from = 6;

struct GameState {
    // 64 cells, row 0 = rank 8, column 0 = file a.
    std::array<Code, 64> board = initial_board();

    // Counters of rooks, pawns, knights, bishops and queens per side; kings are not counted.
    PerSide<std::array<int, counted_kinds>> piece_counts{{2, 8, 2, 2, 1}, {2, 8, 2, 2, 1}};

    // The turn at which the request in the report was asked; the turn as it stands now is
    // current_turn(). The loop moves it on when the next request begins.
    Turn turn;
    MoveRequest move_request;
    // What the request being judged has done so far.
    Report report;

    // Destination classification, computed once per request after a take-back.
    Tri target_empty = Tri::unset;
    PerSide<Tri> target; // whether a piece of the side stands there

    // End-of-game counters.
    int draw_counter = 1;
    PerSide<int> mate_counter{1, 1};
    PerSide<int> stalemate_counter{1, 1};

    // King destination safety (diagonal, knight, rank-and-file, adjacent king), per moving king.
    PerSide<Tri> king_dest_knight_attacked;
    PerSide<Tri> king_dest_diagonal_attacked;
    PerSide<Tri> king_dest_line_attacked;
    PerSide<Tri> king_dest_next_to_king;

    // Pins of the from-square, per shielded king.
    PerSide<Tri> pin_line;
    PerSide<Tri> pin_diagonal;

    // Remaining checks: whether the request leaves last move's check unanswered, per king; the
    // ray names the side of the king on which the checking piece stands.
    PerSide<Tri> knight_check_remains;
    PerSide<PerDir<Tri>> check_remains;

    // Check state left by the last move or promotion carried out, per attacked king.
    PerSide<Tri> knight_check;
    PerSide<PerDir<Tri>> diag_check; // set on the four diagonal rays only
    PerSide<PerDir<Tri>> line_check; // set on the four straight rays only
    PerSide<Tri> adjacent_rank_check;
    PerSide<Tri> adjacent_file_check;
    PerSide<PerDir<Tri>> disc_check_ray; // set on the four straight rays only
    PerSide<Tri> disc_check; // whether any of the four rays holds
    PerSide<Tri> in_check;
    PerSide<Tri> check_remains_any;

    [[nodiscard]] static std::array<Code, 64> initial_board();

    // The code on a square, OFF_BOARD beyond the edge.
    [[nodiscard]] Code cell(Square square) const {
        return square.on_board() ? board[index(square)] : OFF_BOARD;
    }
    void put(Square square, Code code) { board[index(square)] = code; }
    // Empties a square with its own shade.
    void clear(Square square) { put(square, empty_shade(square)); }

    // Forgets every check that the last move gave, for both kings: a take-back and castling
    // change the board without detecting checks, so no check of the position before them may be
    // remembered after them.
    void forget_check();

    // Steps from `from` (not examined) in `dir` over empty squares, at most `limit` steps.
    [[nodiscard]] WalkEnd walk(Square from, Dir dir, int limit) const;

    // The turn as the request being judged stands: after a move carried out the other side has
    // it, after a take-back the side whose move was taken back.
    [[nodiscard]] Turn current_turn() const { return turn.advanced(report.turn_steps()); }
    [[nodiscard]] bool is_side_to_move(Side side) const { return current_turn().side() == side; }
    [[nodiscard]] Side side_to_move() const { return current_turn().side(); }

    [[nodiscard]] Square from() const { return move_request.from(); }
    [[nodiscard]] Square to() const { return move_request.to(); }
    [[nodiscard]] Code from_code() const { return cell(from()); }
    [[nodiscard]] Code to_code() const { return cell(to()); }

    // The counter of a counted piece code, or nullptr for empty squares and kings.
    [[nodiscard]] int* counter_of(Code code);

private:
    static constexpr std::size_t index(Square square) {
        return (static_cast<std::size_t>(8 - square.rank) * 8)
            + static_cast<std::size_t>(square.file);
    }
};

// Whether a destination lies off the line through the from-square in direction dir.
constexpr bool leaves_line(Square from, Square to, Dir dir) {
    const Step step = step_of(dir);
    return (to.rank - from.rank) * step.file != (to.file - from.file) * step.rank;
}

} // namespace referee
