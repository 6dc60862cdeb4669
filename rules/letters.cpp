#include "rules/letters.h"

#include <array>

namespace referee {

std::optional<Code> piece_of_letter(char letter) {
    struct Letter {
        char letter;
        Code code;
    };
    static constexpr std::array<Letter, 10> letters{{
        {'U', BIG_PAWN},
        {'T', BIG_ROOK},
        {'K', BIG_KNIGHT},
        {'F', BIG_BISHOP},
        {'D', BIG_QUEEN},
        {'u', SMALL_PAWN},
        {'t', SMALL_ROOK},
        {'k', SMALL_KNIGHT},
        {'f', SMALL_BISHOP},
        {'d', SMALL_QUEEN},
    }};
    for (const Letter& entry : letters) {
        if (entry.letter == letter) {
            return entry.code;
        }
    }
    return std::nullopt;
}

} // namespace referee
