// Micro benchmarks: the board drawing, the king-safety analyses of one request on positions
// built in the game state, and one whole refused request.
#include "sink.h"

#include "game/board_display.h"
#include "game/game.h"
#include "game/request_loop.h"
#include "safety/safety.h"

#include <benchmark/benchmark.h>

#include <algorithm>
#include <cstdint>
#include <initializer_list>
#include <string_view>
#include <utility>

namespace referee::bench {

namespace {

Square square_named(std::string_view name) {
    return {name[1] - '0', name[0] - 'a'};
}

// An empty board (every square its own shade) with the given pieces, the small side to move.
void set_position(
    GameState& state, std::initializer_list<std::pair<std::string_view, Code>> pieces) {
    for (int rank = 1; rank <= 8; ++rank) {
        for (int file = 0; file < 8; ++file) {
            state.clear({rank, file});
        }
    }
    for (const auto& [name, code] : pieces) {
        state.put(square_named(name), code);
    }
    state.turn = Turn(1);
}

// Sets the request fields as the loop would read them from "e2e4d".
void set_request(GameState& state, std::string_view typed) {
    MoveRequest& request = state.move_request;
    request.from_file = typed[0];
    request.from_rank = typed[1] - '0';
    request.to_file = typed[2];
    request.to_rank = typed[3] - '0';
    request.flag_char = typed[4];
    request.piece_char = '\n';
}

// The drawing kept for a console, as in a game: a knight goes from g1 to f3 and back, so each
// redraw has two ranks that changed since the last one.
void draw_board_bench(benchmark::State& bench_state, GlyphMode mode) {
    NullSink sink("", mode);
    BoardDrawing drawing(sink);
    GameState state;
    Square from = square_named("g1");
    Square to = square_named("f3");
    for (auto _ : bench_state) {
        state.put(to, state.cell(from));
        state.clear(from);
        std::swap(from, to);
        drawing.draw(state);
        benchmark::DoNotOptimize(sink.pending().data());
        sink.drop();
    }
    bench_state.SetBytesProcessed(static_cast<std::int64_t>(sink.bytes()));
}

void BM_DrawBoardRaw(benchmark::State& bench_state) {
    draw_board_bench(bench_state, GlyphMode::raw);
}
BENCHMARK(BM_DrawBoardRaw);

void BM_DrawBoardUtf8(benchmark::State& bench_state) {
    draw_board_bench(bench_state, GlyphMode::utf8);
}
BENCHMARK(BM_DrawBoardUtf8);

// analyse_king_safety on one request; its warnings are shown on the null sink. `found` says
// whether the analyses saw what the position was built for.
template <class Found>
void analyses_bench(benchmark::State& bench_state, Game& game, NullSink& sink, Found found) {
    const GameState before = game.state;
    for (auto _ : bench_state) {
        analyse_king_safety(game.state);
        show_report(game, 0);
        game.state.report.clear();
        benchmark::DoNotOptimize(&game.state);
        sink.drop();
    }
    // The analyses only set flags; the board and the request stay as they were.
    if (game.state.board != before.board
        || game.state.current_turn().number() != before.current_turn().number()) {
        bench_state.SkipWithError("the analyses changed the position");
    } else if (!found(game.state)) {
        bench_state.SkipWithError("the analyses did not see what the position holds");
    }
}

// The starting position, a pawn's first move: no king involved, every flag "no".
void BM_AnalyseOpening(benchmark::State& bench_state) {
    NullSink sink("");
    Game game(sink);
    set_request(game.state, "e2e4d");
    analyses_bench(bench_state, game, sink, [](const GameState& state) {
        return state.pin_line[Side::small] == Tri::no
            && state.king_dest_line_attacked[Side::small] == Tri::no;
    });
}
BENCHMARK(BM_AnalyseOpening);

// The small king asked onto a square that a rook, a bishop and a knight attack.
void BM_AnalyseKingDestination(benchmark::State& bench_state) {
    NullSink sink("");
    Game game(sink);
    set_position(game.state,
        {{"e1", SMALL_KING}, {"e8", BIG_KING}, {"d8", BIG_ROOK}, {"a4", BIG_BISHOP},
            {"c3", BIG_KNIGHT}, {"h2", SMALL_PAWN}});
    set_request(game.state, "e1d1d");
    analyses_bench(bench_state, game, sink, [](const GameState& state) {
        return state.king_dest_line_attacked[Side::small] == Tri::yes
            && state.king_dest_diagonal_attacked[Side::small] == Tri::yes
            && state.king_dest_knight_attacked[Side::small] == Tri::yes;
    });
}
BENCHMARK(BM_AnalyseKingDestination);

// A knight pinned on the e-file and a bishop pinned on a diagonal; the knight is asked to move.
void BM_AnalysePin(benchmark::State& bench_state) {
    NullSink sink("");
    Game game(sink);
    set_position(game.state,
        {{"e1", SMALL_KING}, {"e2", SMALL_KNIGHT}, {"e8", BIG_ROOK}, {"a8", BIG_KING},
            {"d2", SMALL_BISHOP}, {"b4", BIG_QUEEN}});
    set_request(game.state, "e2c3d");
    analyses_bench(bench_state, game, sink,
        [](const GameState& state) { return state.pin_line[Side::small] == Tri::yes; });
}
BENCHMARK(BM_AnalysePin);

// The big king in check from the queen on the f-file after a played opening, and a pawn move that
// leaves the check unanswered: the position and the check state come from real moves.
void BM_AnalyseRemainingCheck(benchmark::State& bench_state) {
    NullSink sink("14\ne2e4d\ne7e5d\ng1f3d\nb8c6d\nf1c4d\ng8f6d\nf3g5d\nd7d5d\ne4d5d\nf6d5d\n"
                  "g5f7d\ne8f7d\nd1f3d\n");
    Game game(sink);
    start_game(game);
    while (request_pass(game).pass != Pass::quit) { }
    set_request(game.state, "a7a6d");
    analyses_bench(bench_state, game, sink, [](const GameState& state) {
        return state.in_check[Side::big] == Tri::yes
            && std::any_of(all_dirs.begin(), all_dirs.end(),
                [&](Dir ray) { return state.check_remains[Side::big][ray] == Tri::yes; });
    });
}
BENCHMARK(BM_AnalyseRemainingCheck);

// One whole refused request (prompt, read, every rule, messages) in the starting position.
void BM_RefusedRequest(benchmark::State& bench_state) {
    NullSink sink("g1e3d\n");
    Game game(sink);
    for (auto _ : bench_state) {
        sink.rewind();
        request_pass(game);
        sink.drop();
    }
    if (game.state.current_turn().number() != 1 || sink.redraws() != 0) {
        bench_state.SkipWithError("the request was not refused");
    }
}
BENCHMARK(BM_RefusedRequest);

} // namespace

} // namespace referee::bench

BENCHMARK_MAIN();
