#include "game/request_loop.h"

#include "console/scan.h"
#include "execute/execute.h"
#include "game/board_display.h"
#include "game/end_rules.h"
#include "rules/rules.h"
#include "safety/safety.h"

#include <array>
#include <string_view>

namespace referee {

namespace {

// clang-format off
    constexpr std::array<std::string_view, 26> introduction {
        "",
        "",
        "\n\n  Po ju prezantojme me disa nga rregullat e kesaj loje. Ju lutem, kini durimin per t'i lexuar me vemendje!",
        "\n  Per te levizur duhet te jepni koordinat e gurit qe doni te levizni dhe te kutise ku doni ta coni, por kujdes:",
        "\n  Ju duhet te shtypni dhe nje karakter te ndyshem nga 'p' ose nga nje numer, psh. d2d4d ose d2d4*, por jo d2d4p ose d2d45,",
        "\n  Mbas kesaj shtyni butonin enter.Ne rast se doni te ktheni levizjen mbrapa duhet te veproni si me poshte.",
        "\n  Jepni koordinatat e gurit qe po i prapsoni levizjen dhe te kutise ku ndodhej me pare shoqeruar me karakterin 'p' dhe",
        "\n  te shtyni 'o' nqs figura ne levizjen e meparshem nuk ka marre gure te kundershtarit, psh. d4d2po, gjithashtu ",
        "\n  nqs guri ka marre USHTAR TE MADH, jepni koordinatat e figures dhe te kutise ku ndodhej me pare dhe 'pU', psh. d4d2pU.",
        "\n  nqs guri ka marre ushatar te vogel, pasi keni dhene koordinatat, shtypni 'pu', psh. d4d2pu. Ose ne menyre me explicite",
        "\n  Nqs guri qe ju po i ktheni levizjen mbrapa ka ngrene nje gur te kundersharit, jepni koordinatat ku ndodhet dhe ",
        "\n  te kutise ku ndodhej me pare dhe mbasi te keni shypur dhe 'p', te jepni germen inicializuese te gurit qe kundershtarit:",
        "\n  'u'->ushatar i vogel, 't'->tore e vogel, 'k'->kal i vogel, 'f'->fil i vogel, 'd'->dame e vogel dhe per guret e medhenj",
        "\n  'U'->ushatar i madh,  'T'->tore e madhe, 'K'->kal i madh,  'F'->fil i madh,  'D'->dame e madhe, psh. e4h1pD dhe ",
        "\n  do te zhvendose gurin qe ndodhet ne 'e4' drejt 'h1' dhe ne kutine 'e4' do te vendoset dama e madhe, sepse ne fund ne",
        "\n  kemi shtypur 'pD', ose 'a1a5pk', dhe guri qe eshte ne 'a1' shkon ne 'a5', ndersa ne 'a1' do vendoset kali i vogel.",
        "\n  Ne fund te tabeles  ndodhet paraqitja grafike per secilin gure te shoqeruar me numrin perkates ne fushen e betejes,cka",
        "\n  do ju ndihmoje te ambjentoheni me guret tuaj dhe te kundershtarit.Per cdo gje tjeter qe do ju duket sado pak e paqarte",
        "\n  pyesi te zotin e kesaj pune.Momente per tu marre ne konsiderate jane edhe rastet e matit dhe patit. Pra nqs jeni 'SHAH'",
        "\n  brenda 5 levizjesh duhet ta evitoni ate sepse do te kuptohet sikur jeni ne pozicion mati dhe loja do te mbaroje.Nqs",
        "\n  mbreti juaj ndodhet ne pozicion pati, duhet te jepni 5 levizje te mundshme te gureve tuaj dhe ne levizjen e 6 do te",
        "\n  perfundoje loja me rezultat PATI.Tjeter situate qe kerkon vemendje parashtrohet kur ushtari juaj ndodhet ne rreshtin e",
        "\n  e parafundit dhe doni ta nxirrni nje figure pasi te keni dhene koordinatat shtyni nje shkronje te ndryshme nga 'p' dhe",
        "\n  me pas germen incilizuese te figures qe doni te ekuivalentoni ushtarin, psh e7e8ed (fitojme damen e vogel) ose e7e8ak",
        "\n  dhe fitojme kalin e vogel) ose per te madhin d2d1wD (fitojme damen e madhe). Per me teper informacion kontaktoni me te",
        "\n  zotin e kesaj loje.S'besoj se ka mbetur gje tjeter vecse t'ju urojme SUKSESE!!!.",
    };
// clang-format on

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
void judge_request(Game& game) {
    GameState& state = game.state;
    const Code destination = state.to_code();
    state.target_empty = tri(is_empty(destination));
    state.target[Side::small] = tri(is_piece_of(destination, Side::small));
    state.target[Side::big] = tri(is_piece_of(destination, Side::big));

    apply_end_rules(game);
    analyse_king_safety(game);
    apply_piece_rules(game);
    apply_king_rules(game);
    apply_castling(game);
    if (apply_promotions(game) == Promotion::big) {
        return; // the big side's promotion ends the pass without the final subtraction
    }
    --state.move_number;
}

} // namespace

bool start_game(Game& game, const AtStartGate& at_start_gate) {
    for (const std::string_view text : introduction) {
        game.print(text);
    }
    if (at_start_gate) {
        at_start_gate();
    }
    int gate_value = 0;
    while (gate_value != start_number) {
        game.print("\n\n\t\t\t JU LUTEM, SHTYPNI NUMRIN 14 PER TE STARTUAR LOJEN.");
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

Pass request_pass(Game& game) {
    GameState& state = game.state;
    ++state.move_number;
    if (state.is_side_to_move(Side::small)) {
        game.print("\n\t\t\t\t\t\t Levizja nr %2d, luan i vogli:>", {state.move_number});
    } else {
        game.print("\n\t\t\t\t\t\t LEVIZJA NR %2d, LUAN I MADHI:>", {state.move_number});
    }
    const Read read = read_request(game.console, state.move_request);
    if (read == Read::quit || read == Read::ended) {
        return Pass::quit;
    }
    if (read == Read::incomplete || !names_two_squares(state.move_request)) {
        --state.move_number;
        return Pass::next;
    }
    state.carried_out = false;
    if (state.move_request.flag_char == 'p') {
        // A take-back without a letter of the table means nothing, and one onto an occupied
        // square would destroy the piece standing there: both are dropped silently.
        if (!is_take_back_letter(state.move_request.piece_char) || !is_empty(state.to_code())) {
            --state.move_number;
            return Pass::next;
        }
        take_back(game);
    }
    judge_request(game);
    return Pass::next;
}

int run_referee(Console& console, const AtStartGate& at_start_gate, BoardStyle style) {
    Game game(console, style);
    if (start_game(game, at_start_gate)) {
        while (request_pass(game) == Pass::next) { }
    }
    return 1;
}

} // namespace referee
