#include "game/request_loop.h"

#include "console/scan.h"
#include "execute/execute.h"
#include "game/board_display.h"
#include "game/end_rules.h"
#include "game/texts.h"
#include "rules/rules.h"
#include "safety/safety.h"

#include <string_view>
#include <vector>

namespace referee {

namespace {

constexpr int start_number = 14;

// The outcome of reading one request with the pattern "%c%d%c%d%c%c".
enum class Read {
    complete, // all six fields assigned
    incomplete, // an item did not fit; the rest of the input stays for the next read
    quit, // the first character is '0'
    ended, // input ended before all six fields were assigned
};

Read read_request(Console& console, MoveRequest& request) {
    Scan scan = scan_char(console, request.from_file);
    if (scan == Scan::assigned && request.from_file == '0') {
        return Read::quit; // no need to wait for the rest of the line
    }
    if (scan == Scan::assigned) {
        scan = scan_int(console, request.from_rank);
    }
    if (scan == Scan::assigned) {
        scan = scan_char(console, request.to_file);
    }
    if (scan == Scan::assigned) {
        scan = scan_int(console, request.to_rank);
    }
    if (scan == Scan::assigned) {
        scan = scan_char(console, request.flag_char);
    }
    if (scan == Scan::assigned) {
        scan = scan_char(console, request.piece_char);
    }
    switch (scan) {
    case Scan::assigned:
        return Read::complete;
    case Scan::mismatch:
        return Read::incomplete;
    case Scan::end_of_input:
        break;
    }
    return Read::ended;
}

bool is_file_letter(char letter) {
    return letter >= 'a' && letter <= 'h';
}
bool is_rank(int rank) {
    return rank >= 1 && rank <= 8;
}

// Whether the request names two squares of the board. Anything else is dropped silently, as
// a mistyped request, before any rule looks at it.
bool names_two_squares(const MoveRequest& request) {
    return is_file_letter(request.from_file) && is_file_letter(request.to_file)
        && is_rank(request.from_rank) && is_rank(request.to_rank);
}

// Judges a request whose squares are on the board, after its take-back if it asked for one:
// classification, end rules, analyses, piece rules, king rules, castling and promotion.
void judge_request(GameState& state) {
    const Code destination = state.to_code();
    state.target_empty = tri(is_empty(destination));
    state.target[Side::small] = tri(is_piece_of(destination, Side::small));
    state.target[Side::big] = tri(is_piece_of(destination, Side::big));

    apply_end_rules(state);
    analyse_king_safety(state);
    apply_piece_rules(state);
    apply_king_rules(state);
    apply_castling(state);
    apply_promotions(state);
}

void say(Game& game, std::string_view text) {
    game.console.write(text);
}

void say(Game& game, std::string_view format, int number) {
    print(game.console, format, {number});
}

} // namespace

std::size_t show_report(Game& game, std::size_t first) {
    const std::vector<Event>& events = game.state.report.events();
    for (std::size_t at = first; at < events.size(); ++at) {
        const Event& event = events[at];
        if (event.what == Event::What::redraw) {
            draw_board(game);
        } else if (event.numbered) {
            say(game, message_text(event.message, event.side), event.number);
        } else {
            say(game, message_text(event.message, event.side));
        }
    }
    return events.size();
}

bool start_game(Game& game, const AtStartGate& at_start_gate) {
    for (const std::string_view text : introduction) {
        say(game, text);
    }
    if (at_start_gate) {
        at_start_gate();
    }
    int gate_value = 0;
    while (gate_value != start_number) {
        say(game, start_gate_text);
        const Scan scan = scan_int(game.console, gate_value);
        if (scan == Scan::end_of_input) {
            return false;
        }
        if (scan == Scan::mismatch) {
            discard_line(game.console); // a word typed at the gate: forget the line, ask again
        }
    }
    draw_board(game);
    return true;
}

PassResult request_pass(Game& game) {
    GameState& state = game.state;
    // The turn moves on by what the last request did; the new request starts its report.
    state.turn = state.current_turn();
    state.report.clear();
    say(game, prompt_text(state.turn.side()), state.turn.number());
    const Read read = read_request(game.console, state.move_request);
    if (read == Read::quit || read == Read::ended) {
        return {Pass::quit, 0, 0, 0};
    }
    // A request that does not name two squares is dropped silently, as is a take-back without
    // a letter of the table or one onto an occupied square (which would destroy the piece
    // standing there): the same side is asked again under the same number.
    if (read == Read::incomplete || !names_two_squares(state.move_request)) {
        return {Pass::dropped, 0, 0, 0};
    }
    std::size_t shown = 0;
    if (state.move_request.flag_char == 'p') {
        if (!is_take_back_letter(state.move_request.piece_char) || !is_empty(state.to_code())) {
            return {Pass::dropped, 0, 0, 0};
        }
        // Shown at once: its redraw shows the board before judging goes on. Judging changes the
        // board at most once, since every move, castling and promotion empties the from-square
        // that the next one would need, and shows the board as it ends up.
        take_back(state);
        shown = show_report(game, 0);
    }
    judge_request(state);
    show_report(game, shown);
    const Report& report = state.report;
    return {Pass::judged, report.moves(), report.take_backs(), report.messages()};
}

int run_referee(Console& console, const AtStartGate& at_start_gate, BoardStyle style) {
    Game game(console, style);
    if (start_game(game, at_start_gate)) {
        while (request_pass(game).pass != Pass::quit) { }
    }
    return 1;
}

} // namespace referee
