// The scripted game that the replay benchmark plays again and again: a real game of a few dozen
// moves with checks, captures, refused and mistyped requests, then every move taken back in
// reverse order, so that each cycle ends on the starting position with the small side to move.
#pragma once

#include <cstddef>
#include <string>

namespace referee::bench {

// What one cycle of the script holds, by design.
struct CycleShape {
    std::size_t lines; // request lines typed
    std::size_t moves; // lines that are executed moves
    std::size_t checks; // moves announced as check
    std::size_t take_backs; // lines that take a move back
    std::size_t refusals; // lines refused with messages
    std::size_t mistypes; // lines refused silently
};

CycleShape cycle_shape();

// The lines of one cycle, each ending with a line feed.
std::string cycle_input();

// Requests (passes of the request loop) in one cycle: every line, plus the line feed that each
// take-back leaves unread, which the next request reads and drops.
std::size_t cycle_requests();

// The whole input of a run: the start number, `cycles` cycles, a mistyped line, the line that
// quits. A run of it makes 2 + cycles * cycle_requests() requests before the quitting one.
std::string game_input(std::size_t cycles);

// The same number of executed moves with nothing else: knights leaving and returning home.
// `rounds` rounds of four moves; the position after each round is the starting position.
std::string knight_shuffle_input(std::size_t rounds);

} // namespace referee::bench
