// The king-safety analyses run on every request before any piece rule: they set their flags for
// the rules to read and report their warnings.
#pragma once

namespace referee {

struct GameState;

// All four analyses in order: king destination (diagonal and knight, then rank, file and the
// other king), pins, remaining checks.
void analyse_king_safety(GameState& state);

// Whether an enemy piece already attacks the destination of a king asked to move.
void analyse_king_destination(GameState& state);

// Whether the from-square shields a king from a bishop, rook or queen, and the move leaves the
// line.
void analyse_pins(GameState& state);

// Whether the request leaves unanswered a check that the last executed move gave.
void analyse_remaining_checks(GameState& state);

} // namespace referee
