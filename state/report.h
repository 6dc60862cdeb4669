// What one request did, in the order it happened: the messages the referee has to say (each with
// the side it concerns and the number it shows), the redraws of the board, and the change of the
// turn. The rules, analyses and execution write it; the request loop shows it and applies the
// change of the turn when the request is over.
#pragma once

#include "state/turn.h"
#include "state/types.h"

#include <cstddef>
#include <cstdint>
#include <vector>

namespace referee {

// Everything the referee can say while judging a request. The side of a message is the side it
// speaks to or about, as given beside each group; each side has its own text.
enum class Message : std::uint8_t {
    // The destination of the side's king is already attacked: by a bishop, queen or pawn, by a
    // knight, by a rook or queen, by the other king.
    king_dest_diagonal,
    king_dest_knight,
    king_dest_line,
    king_dest_king,
    // The from-square shields the side's king from a bishop or queen, from a rook or queen.
    pin_diagonal,
    pin_line,
    // The request leaves the side's king in the knight check of the last move.
    knight_check_remains,
    // The side's piece on the from-square does not move that way, one message per kind.
    wrong_way_rook,
    wrong_way_pawn,
    wrong_way_knight,
    wrong_way_bishop,
    wrong_way_queen,
    wrong_way_king,
    // The side to move asked to capture its own piece, or to move the other side's piece.
    own_piece_captured,
    other_side_moved,
    // The side has the turn again after a take-back.
    took_back,
    // The side's king is checked: by a rook or queen right beside it, by a knight, on a
    // diagonal, by a rook or queen that a move uncovered, along a rank or file.
    check_adjacent,
    check_knight,
    check_diagonal,
    check_discovered,
    check_line,
    // The side's king, stepping, stays in a check: on a diagonal, along the rank it checks, from
    // the rook or queen beside it.
    still_check_diagonal,
    still_check_rank,
    still_check_adjacent,
    // The end of the game, announced with the number of the request: the draw for lack of
    // material (the same text for both sides), the side mated, the side stalemated.
    draw,
    mate,
    stalemate,
};

inline constexpr std::size_t message_count = static_cast<std::size_t>(Message::stalemate) + 1;

// The message for a piece of `kind` asked to move in a way it does not move.
constexpr Message wrong_way(Kind kind) {
    return static_cast<Message>(
        static_cast<std::size_t>(Message::wrong_way_rook) + static_cast<std::size_t>(kind));
}

// One thing that happened: a message to say, or the board to draw as it stands.
struct Event {
    enum class What : std::uint8_t { message, redraw };
    What what = What::message;
    Message message = Message::draw;
    Side side = Side::small;
    bool numbered = false; // whether the text shows `number`
    int number = 0;
};

class Report {
public:
    // Forgets the last request, keeping the room it took.
    void clear() {
        events_.clear();
        moves_ = 0;
        take_backs_ = 0;
        turn_steps_ = 0;
    }

    void say(Message message, Side side) {
        events_.push_back({Event::What::message, message, side, false, 0});
    }
    void say(Message message, Side side, int number) {
        events_.push_back({Event::What::message, message, side, true, number});
    }
    void redraw() {
        events_.push_back({Event::What::redraw, Message::draw, Side::small, false, 0});
    }

    // A move was carried out, castling included.
    void moved() {
        ++moves_;
        turn_steps_ += move_steps;
    }
    // A pawn of `pawn` was promoted to a piece of `piece`.
    void promoted(Side pawn, Side piece) {
        ++moves_;
        turn_steps_ += promotion_steps(pawn, piece);
    }
    // A move was taken back.
    void took_back() {
        ++take_backs_;
        turn_steps_ += take_back_steps;
    }

    [[nodiscard]] const std::vector<Event>& events() const { return events_; }
    [[nodiscard]] int moves() const { return moves_; }
    [[nodiscard]] int take_backs() const { return take_backs_; }
    // How many numbers the turn moves by what the request has done so far.
    [[nodiscard]] int turn_steps() const { return turn_steps_; }
    // Whether a move has been carried out or taken back so far in this request. The refusals
    // are explained only for a request that has done neither.
    [[nodiscard]] bool acted() const { return moves_ != 0 || take_backs_ != 0; }

    // How often the message was said, for the side or for either.
    [[nodiscard]] std::size_t count(Message message, Side side) const;
    [[nodiscard]] std::size_t count(Message message) const;
    [[nodiscard]] std::size_t redraws() const;
    [[nodiscard]] std::size_t messages() const { return events_.size() - redraws(); }

private:
    std::vector<Event> events_;
    int moves_ = 0; // promotions included
    int take_backs_ = 0;
    int turn_steps_ = 0;
};

} // namespace referee
