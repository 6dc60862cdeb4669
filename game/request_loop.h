// The program's main line: introduction, start gate, first drawing, then the endless request loop.
#pragma once

#include "console/console.h"
#include "game/game.h"

namespace referee {

// Plays a whole run on the console and returns the process exit status.
int run_referee(Console& console);

// Runs the start (introduction, gate, first drawing) of a game.
// Returns false when the input ended at the gate.
bool start_game(Game& game);

// What became of one pass of the request loop.
enum class Pass { next, quit };

// One pass: prompt, read and judge one request.
Pass request_pass(Game& game);

} // namespace referee
