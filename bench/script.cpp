#include "script.h"

#include <array>
#include <string_view>

namespace referee::bench {

namespace {

enum class Line {
    move, // executed; `captured` names the piece it takes, 'o' for none
    check, // executed and announced as check
    refused, // judged and refused with messages
    mistyped, // dropped without a message
};

struct Request {
    std::string_view typed;
    Line line;
    char captured;
};

constexpr Request move(std::string_view typed, char captured = 'o') {
    return {typed, Line::move, captured};
}
constexpr Request check(std::string_view typed, char captured = 'o') {
    return {typed, Line::check, captured};
}
constexpr Request refused(std::string_view typed) {
    return {typed, Line::refused, 'o'};
}
constexpr Request mistyped(std::string_view typed) {
    return {typed, Line::mistyped, 'o'};
}

// The forward half of a cycle. Every move line is a carried-out move; the take-backs are made
// from it in reverse order.
constexpr std::array game{
    refused("g1e3d"), // a knight moved like a bishop
    refused("a1a4d"), // a rook through its own pawn
    mistyped("x2e4d"), // not a file letter
    move("e2e4d"),
    refused("d8d6d"), // the queen through its own pawn
    move("e7e5d"),
    move("g1f3d"),
    move("b8c6d"),
    move("f1c4d"),
    move("g8f6d"),
    move("f3g5d"),
    move("d7d5d"),
    move("e4d5d", 'U'),
    move("f6d5d", 'u'),
    move("g5f7d", 'U'),
    move("e8f7d", 'k'),
    check("d1f3d"), // along the f-file
    refused("a7a6d"), // leaves the check unanswered
    refused("h7h6d"), // leaves the check unanswered
    move("f7e6d"),
    move("b1c3d"),
    mistyped("e9e4d"), // a rank beyond the board
    move("c6b4d"),
    move("f3e4d"),
    move("c7c6d"),
    refused("e1e3d"), // a king two squares up the file
    move("c3d5d", 'K'),
    move("c6d5d", 'k'),
    check("c4d5d", 'U'), // on the diagonal
    refused("e6e5d"), // the king onto a square the queen holds
    move("e6f6d"),
    move("d5b7d", 'U'),
    move("c8b7d", 'f'),
    move("e4b7d", 'F'),
    move("d8d7d"),
    move("b7a8d", 'T'),
};

} // namespace

CycleShape cycle_shape() {
    CycleShape shape{};
    for (const Request& request : game) {
        ++shape.lines;
        switch (request.line) {
        case Line::check:
            ++shape.checks;
            [[fallthrough]];
        case Line::move:
            ++shape.moves;
            ++shape.take_backs;
            ++shape.lines; // its take-back
            break;
        case Line::refused:
            ++shape.refusals;
            break;
        case Line::mistyped:
            ++shape.mistypes;
            break;
        }
    }
    return shape;
}

std::size_t cycle_requests() {
    const CycleShape shape = cycle_shape();
    return shape.lines + shape.take_backs;
}

std::string cycle_input() {
    std::string input;
    for (const Request& request : game) {
        input += request.typed;
        input += '\n';
    }
    // Take-backs: the square the piece stands on, the square it came from, 'p', the letter of
    // the captured piece. The line feed after the letter stays unread and is refused silently
    // by the next request.
    for (auto request = game.rbegin(); request != game.rend(); ++request) {
        if (request->line != Line::move && request->line != Line::check) {
            continue;
        }
        input += request->typed.substr(2, 2);
        input += request->typed.substr(0, 2);
        input += 'p';
        input += request->captured;
        input += '\n';
    }
    return input;
}

std::string game_input(std::size_t cycles) {
    const std::string cycle = cycle_input();
    std::string input = "14\n";
    input.reserve(input.size() + cycles * cycle.size() + 8);
    for (std::size_t done = 0; done < cycles; ++done) {
        input += cycle;
    }
    // After a take-back a line holding only 0 would be read as the number of the pending line
    // feed's request; a mistyped line brings the input back in step first.
    input += "x1x1d\n0\n";
    return input;
}

std::string knight_shuffle_input(std::size_t rounds) {
    std::string input = "14\n";
    for (std::size_t done = 0; done < rounds; ++done) {
        input += "g1f3d\ng8f6d\nf3g1d\nf6g8d\n";
    }
    input += "0\n";
    return input;
}

} // namespace referee::bench
