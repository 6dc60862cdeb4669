#include "rules/rules.h"

#include "rules/letters.h"
#include "state/game_state.h"

namespace referee {

bool is_take_back_letter(char letter) {
    return letter == 'o' || piece_of_letter(letter).has_value();
}

void take_back(GameState& state) {
    const Square from = state.from();
    const Square to = state.to();
    // The piece goes back; an empty from-square gives the destination its own shade, so that
    // every empty square keeps holding its own shade.
    const Code returning = is_empty(state.cell(from)) ? empty_shade(to) : state.cell(from);
    Code restored = empty_shade(from);
    if (const auto captured = piece_of_letter(state.move_request.piece_char)) {
        ++*state.counter_of(*captured);
        restored = *captured;
    }
    state.put(to, returning);
    state.put(from, restored);

    for (Side side : {Side::small, Side::big}) {
        state.mate_counter[side] = 1;
        state.stalemate_counter[side] = 1;
    }
    state.forget_check();
    state.report.redraw();
    state.report.took_back();
    state.report.say(Message::took_back, state.side_to_move());
}

} // namespace referee
