// libFuzzer target: the input bytes are the whole standard input of one game, played through the
// string console. After every pass of the request loop the game state is checked as the stress
// test checks it (tests/soundness.h): the cell codes, the shades of empty squares, the counters
// and the move number's steps. A violation aborts, so the fuzzer records the input as a crash; the
// sanitizers catch memory and undefined-behaviour faults on the way.
#include "console/string_console.h"
#include "game/game.h"
#include "game/request_loop.h"
#include "state/types.h"
#include "tests/soundness.h"

#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <string>

namespace {

using namespace referee;

// Each pass consumes at least one input byte, so every run ends; the bound keeps a single input
// cheap all the same.
constexpr int max_passes = 2000;

// A state that is not sound, or a pass that moved the turn as the loop cannot, aborts the run.
void check(const std::string& problem, int pass) {
    if (!problem.empty()) {
        std::fprintf(stderr, "after pass %d: %s\n", pass, problem.c_str());
        __builtin_trap();
    }
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    StringConsole console(std::string(reinterpret_cast<const char*>(data), size));
    Game game(console);
    if (!start_game(game)) {
        return 0;
    }
    check(soundness::unsound(game.state), 0);
    console.clear_output(); // the output is not looked at; keep memory flat over long inputs
    for (int pass = 1; pass <= max_passes; ++pass) {
        const std::size_t before = console.consumed();
        const GameState state_before = game.state;
        const Pass result = request_pass(game).pass;
        check(soundness::unsound(game.state), pass);
        if (result == Pass::quit) {
            break;
        }
        check(soundness::unsound_pass(state_before, game.state), pass);
        if (console.consumed() == before) {
            std::fprintf(stderr, "pass %d consumed no input\n", pass);
            __builtin_trap();
        }
        console.clear_output();
    }
    return 0;
}
