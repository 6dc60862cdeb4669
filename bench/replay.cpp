// Replays the scripted game through the whole referee (start, then request after request) into a
// null sink and reports requests, executed moves and output bytes per second. Before timing, it
// checks on three cycles that the script does what it claims: moves are carried out, refusals
// say their reasons, checks are announced, take-backs restore the starting position, and every
// cycle after the first prints the same bytes.
//
//   referee_replay [--cycles N] [--runs R] [--utf8]
//   referee_replay --print-game N      the input of N cycles, for the real program
//   referee_replay --print-shuffle N   N rounds of four knight moves and nothing else

#include "script.h"
#include "sink.h"

#include "game/game.h"
#include "game/request_loop.h"

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <iostream>
#include <string>
#include <string_view>
#include <vector>

namespace referee::bench {

namespace {

// What the passes of a stretch of the run did.
struct Tally {
    std::size_t requests = 0;
    std::size_t moves = 0;
    std::size_t take_backs = 0;
    std::size_t refusals = 0; // refused with at least one message
    std::size_t silent = 0; // refused without a word
    std::size_t checks = 0;
};

// The checks a request announced.
std::size_t checks_announced(const Report& report) {
    std::size_t checks = 0;
    for (Message message : {Message::check_adjacent, Message::check_knight, Message::check_diagonal,
             Message::check_discovered, Message::check_line}) {
        checks += report.count(message);
    }
    return checks;
}

// Counts what a pass did into the tally.
void count_pass(const PassResult& result, const Report& report, Tally& tally) {
    ++tally.requests;
    if (result.take_backs != 0) {
        ++tally.take_backs;
    } else if (result.moves != 0) {
        ++tally.moves;
        tally.checks += checks_announced(report);
    } else {
        ++(result.messages != 0 ? tally.refusals : tally.silent);
    }
}

// One pass, classified from what it did. Returns false when the run ended.
bool judged_pass(Game& game, NullSink& sink, Tally& tally, std::string& printed) {
    sink.drop();
    const PassResult result = request_pass(game);
    printed += sink.pending();
    if (result.pass == Pass::quit) {
        return false;
    }
    count_pass(result, game.state.report, tally);
    return true;
}

int fail(std::string_view why) {
    std::fflush(stdout);
    std::cerr << "replay script check failed: " << why << '\n';
    return 1;
}

// Plays three cycles pass by pass and compares what happened with what the script claims.
int verify_script(GlyphMode mode) {
    constexpr std::size_t cycles = 3;
    NullSink sink(game_input(cycles), mode);
    Game game(sink);
    if (!start_game(game)) {
        return fail("the start gate did not open");
    }
    const GameState start = game.state;
    Tally gate;
    std::string ignored;
    if (!judged_pass(game, sink, gate, ignored) || gate.silent != 1) {
        return fail("the line feed after the start number was not dropped silently");
    }
    const CycleShape shape = cycle_shape();
    std::vector<std::string> outputs(cycles);
    for (std::size_t cycle = 0; cycle < cycles; ++cycle) {
        Tally tally;
        // The first pass of a cycle reads the line feed left by the last take-back (or by the
        // start number), which the gate pass above has taken for the first cycle.
        const std::size_t passes = cycle_requests() - (cycle == 0 ? 1 : 0);
        for (std::size_t pass = 0; pass < passes; ++pass) {
            if (!judged_pass(game, sink, tally, outputs[cycle])) {
                return fail("the input ended early");
            }
        }
        const std::size_t expected_silent = shape.mistypes + shape.take_backs - (cycle == 0);
        if (tally.moves != shape.moves || tally.take_backs != shape.take_backs
            || tally.refusals != shape.refusals || tally.silent != expected_silent
            || tally.checks != shape.checks) {
            std::cerr << "cycle " << cycle + 1 << ": " << tally.moves << " moves, "
                      << tally.take_backs << " take-backs, " << tally.refusals << " refusals, "
                      << tally.silent << " silent, " << tally.checks << " checks\n";
            return fail("the cycle did not play as written");
        }
        if (game.state.board != start.board
            || game.state.piece_counts[Side::small] != start.piece_counts[Side::small]
            || game.state.piece_counts[Side::big] != start.piece_counts[Side::big]
            || game.state.current_turn().number() != start.current_turn().number()) {
            return fail("the take-backs did not restore the starting position");
        }
    }
    if (outputs[1] != outputs[2]) {
        return fail("two cycles after the first printed different output");
    }
    std::printf("script per cycle: %zu requests = %zu lines (%zu executed moves, %zu of them "
                "checks, %zu take-backs, %zu refusals with messages, %zu mistyped) + %zu line "
                "feeds left by take-backs; verified on %zu cycles\n",
        cycle_requests(), shape.lines, shape.moves, shape.checks, shape.take_backs, shape.refusals,
        shape.mistypes, shape.take_backs, cycles);
    return 0;
}

struct Timing {
    Tally tally;
    std::size_t bytes;
    double seconds;
};

// The timed run: the whole input, start to the quitting line, output dropped after each pass.
Timing timed_run(const std::string& input, GlyphMode mode) {
    NullSink sink(input, mode);
    Game game(sink);
    Tally tally;
    const auto begin = std::chrono::steady_clock::now();
    if (start_game(game)) {
        for (;;) {
            sink.drop();
            const PassResult result = request_pass(game);
            if (result.pass == Pass::quit) {
                break;
            }
            ++tally.requests;
            if (result.take_backs != 0) {
                ++tally.take_backs;
            } else if (result.moves != 0) {
                ++tally.moves;
            }
        }
    }
    const auto end = std::chrono::steady_clock::now();
    sink.drop();
    return {tally, sink.bytes(), std::chrono::duration<double>(end - begin).count()};
}

std::size_t number(const char* text) {
    char* end = nullptr;
    const unsigned long value = std::strtoul(text, &end, 10);
    if (end == text || *end != '\0') {
        std::cerr << "not a number: " << text << '\n';
        std::exit(2);
    }
    return value;
}

int replay(int argc, char** argv) {
    std::size_t cycles = 1200;
    std::size_t runs = 3;
    GlyphMode mode = GlyphMode::raw;
    for (int at = 1; at < argc; ++at) {
        const std::string_view arg = argv[at];
        const bool has_value = at + 1 < argc;
        if (arg == "--print-game" && has_value) {
            std::cout << game_input(number(argv[++at]));
            return 0;
        }
        if (arg == "--print-shuffle" && has_value) {
            std::cout << knight_shuffle_input(number(argv[++at]));
            return 0;
        }
        if (arg == "--cycles" && has_value) {
            cycles = number(argv[++at]);
        } else if (arg == "--runs" && has_value) {
            runs = std::max<std::size_t>(1, number(argv[++at]));
        } else if (arg == "--utf8") {
            mode = GlyphMode::utf8;
        } else {
            std::cerr << "usage: referee_replay [--cycles N] [--runs R] [--utf8] | --print-game "
                         "N | --print-shuffle N\n";
            return 2;
        }
    }
    if (const int status = verify_script(mode); status != 0) {
        return status;
    }
    const std::string input = game_input(cycles);
    std::vector<double> seconds;
    for (std::size_t run = 0; run < runs; ++run) {
        const Timing timing = timed_run(input, mode);
        const Tally& t = timing.tally;
        std::printf("run %zu (%s glyphs): %zu requests, %zu executed moves, %zu take-backs, %zu "
                    "output bytes in %.3f s: %.0f requests/s, %.0f moves/s, %.1f MB/s output\n",
            run + 1, mode == GlyphMode::raw ? "raw" : "UTF-8", t.requests, t.moves, t.take_backs,
            timing.bytes, timing.seconds, static_cast<double>(t.requests) / timing.seconds,
            static_cast<double>(t.moves) / timing.seconds,
            static_cast<double>(timing.bytes) / timing.seconds / 1e6);
        if (t.moves != cycles * cycle_shape().moves
            || t.requests != 2 + cycles * cycle_requests()) {
            return fail("the timed run did not play the script as verified");
        }
        seconds.push_back(timing.seconds);
    }
    std::sort(seconds.begin(), seconds.end());
    std::printf("median of %zu runs: %.3f s\n", runs, seconds[seconds.size() / 2]);
    return 0;
}

} // namespace

} // namespace referee::bench

int main(int argc, char** argv) {
    return referee::bench::replay(argc, argv);
}
