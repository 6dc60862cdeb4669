#include "game/end_rules.h"

#include "game/game.h"

#include <climits>

namespace referee {

namespace {

int count(const GameState& state, Side side, Kind kind) {
    return state.piece_counts[side][static_cast<std::size_t>(kind)];
}

// With no rook, queen or pawn left, no minor piece at all, or some side with exactly one
// bishop or one knight, counts toward the draw.
void draw_rule(Game& game) {
    GameState& state = game.state;
    bool heavy_or_pawn = false;
    bool minor = false;
    bool lone_minor = false;
    for (Side side : {Side::small, Side::big}) {
        for (Kind kind : {Kind::rook, Kind::queen, Kind::pawn}) {
            heavy_or_pawn = heavy_or_pawn || count(state, side, kind) != 0;
        }
        for (Kind kind : {Kind::knight, Kind::bishop}) {
            minor = minor || count(state, side, kind) != 0;
            lone_minor = lone_minor || count(state, side, kind) == 1;
        }
    }
    if (!heavy_or_pawn && (!minor || lone_minor) && state.draw_counter < INT_MAX) {
        ++state.draw_counter;
    }
    if (state.draw_counter > 1) {
        announce_draw(game);
        if (state.draw_counter < INT_MAX) {
            ++state.draw_counter;
        }
    }
}

// A king left in check by a move that did not answer it: counted at every request until a
// move or take-back changes the check state; mate at the fifth request after the check.
void mate_rule(Game& game, Side side, void (*announce)(Game&)) {
    GameState& state = game.state;
    int& counter = state.mate_counter[side];
    if (state.in_check[side] == Tri::yes && state.check_remains_any[side] == Tri::no) {
        ++counter;
    } else {
        counter = 1;
    }
    if (counter > 5) {
        announce(game);
        counter = 6;
    }
}

// A side not in check whose requests keep being judged unsafe by the king-safety analyses
// (last request's flags): stalemate after five such requests in a row.
void stalemate_rule(Game& game, Side side, void (*announce)(Game&)) {
    GameState& state = game.state;
    int& counter = state.stalemate_counter[side];
    const bool unsafe = state.pin_line[side] == Tri::yes || state.pin_diagonal[side] == Tri::yes
        || state.king_dest_knight_attacked[side] == Tri::yes
        || state.king_dest_diagonal_attacked[side] == Tri::yes
        || state.king_dest_line_attacked[side] == Tri::yes;
    if (state.in_check[side] == Tri::no && unsafe) {
        ++counter;
    } else {
        counter = 1;
    }
    if (counter > 5) {
        announce(game);
        counter = 6;
    }
}

} // namespace

void apply_end_rules(Game& game) {
    draw_rule(game);
    mate_rule(game, Side::small, end_mate_small);
    mate_rule(game, Side::big, end_mate_big);
    stalemate_rule(game, Side::small, end_stalemate_small);
    stalemate_rule(game, Side::big, end_stalemate_big);
}

void announce_draw(Game& game) {
    game.print(
        "\n\t LOJA DOLI REMI PAS LEVIZJES NR %d, SEPSE NUK KA ME GURE MJAFTUESHEM PER TE BERE MAT",
        {game.state.move_number});
}

void end_mate_small(Game& game) {
    game.print("\n\t\t\t\tSHAH MAT!!!\n\tI vogli eshte ne pozicion mati.Praktikisht loja mbaroi "
               "pas levizjes nr %2d.",
        {game.state.move_number});
    game.print("\n\tI MADHI fitoi, i vogli humbi. Faleminderit qe luajtet. Nje verejtje e vogel "
               "per te voglin.");
    game.print(
        "\n\tMesoni pak me shume heres tjeter te mos kapeni kaq shpejt mat. TUNG!!!!!!!!!!!!!!!!");
}

void end_mate_big(Game& game) {
    game.print("\n\t\t\t\tSHAH MAT!!!\n\tI MADHI eshte ne pozicion mati.Praktikisht loja mbaroi "
               "pas levizjes nr %2d.",
        {game.state.move_number});
    game.print("\n\tI vogli fitoi, I MADHI humbi. Faleminderit qe luajtet. Nje verejtje e vogel "
               "per TE MADHIN.");
    game.print(
        "\n\tMesoni pak me shume heres tjeter te mos kapeni kaq shpejt mat. TUNG!!!!!!!!!!!!!!!!");
}

void end_stalemate_small(Game& game) {
    game.print("\n\t\t\t\tPAT!!!\n\tI vogli eshte ne pozicion qe s'mund te leviz dot asnje prej "
               "gureve sepse del shah.");
    game.print("\n\tLoja mbaroi pas levizjes nr %2d.Kjo loje ne fund te fundit tregoi dicka.",
        {game.state.move_number});
    game.print("\n\tI MADHI u tregua aq i zgjuar sa te rrembente remi nga kjo loje pothuajse e "
               "humbur. TUNG!!!");
}

void end_stalemate_big(Game& game) {
    game.print("\n\t\t\t\tPAT!!!\n\tI MADHI eshte ne pozicion qe s'mund te leviz dot asnje prej "
               "gureve sepse del shah.");
    game.print("\n\tLoja mbaroi pas levizjes nr %2d.Kjo loje ne fund te fundit tregoi dicka.",
        {game.state.move_number});
    game.print("\n\tI vogli u tregua aq i zgjuar sa te rrembente remi nga kjo loje pothuajse e "
               "humbur. TUNG!!!");
}

} // namespace referee
