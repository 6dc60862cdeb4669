// Every text the referee says in the game, in one table: the introduction, the start gate, the
// prompts and the messages that judging a request reports.
#pragma once

#include "state/report.h"
#include "state/types.h"

#include <array>
#include <string_view>

namespace referee {

// The introduction printed once before the start gate, in the pieces it is printed in.
extern const std::array<std::string_view, 26> introduction;

// Asked until the player types the start number.
extern const std::string_view start_gate_text;

// The prompt of the side to move; "%2d" shows the number of the request.
std::string_view prompt_text(Side side);

// The text of a message for its side. Texts of numbered messages show the number with "%d" or
// "%2d".
std::string_view message_text(Message message, Side side);

} // namespace referee
