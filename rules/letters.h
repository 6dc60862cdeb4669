// The piece letters of take-back and promotion requests.
#pragma once

#include "state/types.h"

#include <optional>

namespace referee {

// The piece a letter names: U T K F D for the big pawn, rook, knight, bishop and queen, u t k f d
// for the small ones. Any other letter names none.
std::optional<Code> piece_of_letter(char letter);

} // namespace referee
