// The program's main line: introduction, start gate, first drawing, then the endless request loop.
#pragma once

#include "console/console.h"
#include "game/game.h"

#include <cstddef>
#include <functional>

namespace referee {

// Called once after the introduction, before the start gate first asks for 14.
using AtStartGate = std::function<void()>;

// Plays a whole run on the console, the board drawn in `style`, and returns the process exit
// status.
int run_referee(
    Console& console, const AtStartGate& at_start_gate = {}, BoardStyle style = BoardStyle::full);

// Runs the start (introduction, gate, first drawing) of a game.
// Returns false when the input ended at the gate.
bool start_game(Game& game, const AtStartGate& at_start_gate = {});

// What became of one pass of the request loop.
enum class Pass {
    quit, // the request asked to quit or the input ended
    dropped, // the request named no two squares, or was a take-back that means nothing
    judged, // the request went through the rules
};

// What one request did; the details stay in the game state's report until the next request.
struct PassResult {
    Pass pass;
    int moves; // moves carried out (castling and promotion included)
    int take_backs;
    std::size_t messages; // messages said
};

// One pass: prompt, read and judge one request, and show what it did.
PassResult request_pass(Game& game);

// Shows the events of the game state's report from `first` on, in order: each message through
// the table of texts, each redraw as the board stands now. Returns where the events end.
std::size_t show_report(Game& game, std::size_t first);

} // namespace referee
