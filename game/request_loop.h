// The program's main line: introduction, start gate, first drawing, then the endless request loop.
#pragma once

#include "console/console.h"
#include "game/game.h"

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
enum class Pass { next, quit };

// One pass: prompt, read and judge one request.
Pass request_pass(Game& game);

} // namespace referee
