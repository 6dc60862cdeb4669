// libFuzzer target: the input bytes are the whole standard input of one game, played through the
// string console. After every pass of the request loop the board is checked: each cell holds one
// of the fourteen cell codes, and each empty square holds its own shade. A violation aborts, so
// the fuzzer records the input as a crash; the sanitizers catch memory and undefined-behaviour
// faults on the way.
#include "console/string_console.h"
#include "game/game.h"
#include "game/request_loop.h"
#include "state/types.h"

#include <algorithm>
#include <array>
#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <string>

namespace {

using namespace referee;

// Each pass consumes at least one input byte, so every run ends; the bound keeps a single input
// cheap all the same.
constexpr int max_passes = 2000;

constexpr std::array<Code, 14> cell_codes{EMPTY_LIGHT, EMPTY_DARK, BIG_PAWN, BIG_ROOK, BIG_KNIGHT,
    BIG_BISHOP, BIG_QUEEN, BIG_KING, SMALL_PAWN, SMALL_ROOK, SMALL_KNIGHT, SMALL_BISHOP,
    SMALL_QUEEN, SMALL_KING};

[[noreturn]] void violation(const char* what, Square square, Code code, int pass) {
    std::fprintf(stderr, "invariant violated after pass %d: %s on rank %d file %c (code %d)\n",
        pass, what, square.rank, static_cast<char>('a' + square.file), static_cast<int>(code));
    __builtin_trap();
}

void check_board(const GameState& state, int pass) {
    for (int rank = 1; rank <= 8; ++rank) {
        for (int file = 0; file < 8; ++file) {
            const Square square{rank, file};
            const Code code = state.cell(square);
            if (std::find(cell_codes.begin(), cell_codes.end(), code) == cell_codes.end()) {
                violation("unknown cell code", square, code, pass);
            }
            if (is_empty(code) && code != empty_shade(square)) {
                violation("empty square with the wrong shade", square, code, pass);
            }
        }
    }
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    StringConsole console(std::string(reinterpret_cast<const char*>(data), size));
    Game game(console);
    if (!start_game(game)) {
        return 0;
    }
    check_board(game.state, 0);
    console.clear_output(); // the output is not looked at; keep memory flat over long inputs
    for (int pass = 1; pass <= max_passes; ++pass) {
        const std::size_t before = console.consumed();
        const Pass result = request_pass(game).pass;
        check_board(game.state, pass);
        if (result == Pass::quit) {
            break;
        }
        if (console.consumed() == before) {
            std::fprintf(stderr, "pass %d consumed no input\n", pass);
            __builtin_trap();
        }
        console.clear_output();
    }
    return 0;
}
