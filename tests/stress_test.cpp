// Many seeded random request streams through whole games: after every request the game state is
// sound (each cell one of the fourteen codes, every empty square its own shade, the counters those
// of the board) and the move number has moved only as the loop's arithmetic allows. Every prefix
// of a long game ends the run at once.
#include "game/request_loop.h"
#include "soundness.h"
#include "support.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <random>

namespace referee::test {
namespace {

// A request a player might type: mostly plausible moves of the side to move's pieces, with
// take-backs, castlings, promotions, ranks off the board and plain garbage mixed in.
std::string random_request(std::mt19937& rng, const GameState& state) {
    const auto pick = [&](int n) { return static_cast<int>(rng() % static_cast<unsigned>(n)); };
    std::string request;
    const int kind = pick(100);
    if (kind < 4) {
        const char* garbage[] = {"xyz\n", "e2\ne4d\n", "\n5e5d\n", "e2e4\nd\n", "h9h1d\n",
            "a0a1d\n", "e2e-\n", "\xff\xfe\n", "e2e4p\n", "+-\n"};
        return garbage[pick(10)];
    }
    Square from{pick(8) + 1, pick(8)};
    // Prefer squares holding a piece of the side to move.
    for (int tries = 0; tries < 12 && !is_piece_of(state.cell(from), state.side_to_move());
         ++tries) {
        from = {pick(8) + 1, pick(8)};
    }
    // Shapes the pieces move in: a pawn's step, a knight's jump, or a run along a ray.
    Square to{pick(8) + 1, pick(8)};
    if (kind < 70) {
        const Code piece = state.cell(from);
        if (piece == SMALL_PAWN || piece == BIG_PAWN) {
            to = from + Step{(pick(3) == 0 ? 2 : 1) * forward(state.side_to_move()), pick(3) - 1};
        } else if (piece == SMALL_KNIGHT || piece == BIG_KNIGHT) {
            to = from + knight_jumps[static_cast<std::size_t>(pick(8))];
        } else {
            const Step step = step_of(all_dirs[static_cast<std::size_t>(pick(8))]);
            const int distance = piece == SMALL_KING || piece == BIG_KING ? 1 : pick(7) + 1;
            to = from + Step{step.rank * distance, step.file * distance};
        }
        if (!to.on_board()) {
            to = {pick(8) + 1, pick(8)};
        }
    }
    if (kind < 12) {
        // A take-back goes back to an empty square; one onto a piece is dropped.
        for (int tries = 0; tries < 12 && pick(4) != 0 && !is_empty(state.cell(to)); ++tries) {
            to = {pick(8) + 1, pick(8)};
        }
    }
    request += static_cast<char>('a' + from.file);
    request += std::to_string(kind == 7 ? 9 : from.rank);
    request += static_cast<char>('a' + to.file);
    request += std::to_string(to.rank);
    if (kind < 12) {
        request += 'p';
        request += "UTKFDutkfdoxq"[pick(13)];
    } else if (kind < 20) {
        request += 'd';
        request += "TKFDtkfdwq"[pick(10)];
    } else if (kind < 24) {
        return static_cast<char>('a' + from.file) + std::to_string(from.rank)
            + (pick(2) != 0 ? "g" : "c") + std::to_string(from.rank) + "d\n";
    } else {
        request += "d*.\n"[pick(3)];
        request += '\n';
    }
    return request;
}

TEST(Stress, RandomGamesKeepTheBoardSound) {
    int passes = 0;
    int redraws = 0;
    for (unsigned seed = 1; seed <= 60; ++seed) {
        SCOPED_TRACE("seed " + std::to_string(seed));
        std::mt19937 rng(seed);
        StringConsole console{"14\n"};
        Game game(console);
        ASSERT_TRUE(start_game(game));
        // Each request is made from the position as it stands and fed just before its pass.
        for (int pass = 0; pass < 400; ++pass) {
            console.append_input(random_request(rng, game.state));
            const GameState before = game.state;
            const PassResult result = request_pass(game);
            if (result.pass == Pass::quit) {
                break;
            }
            ASSERT_EQ(soundness::unsound(game.state), "") << "after pass " << pass;
            ASSERT_EQ(soundness::unsound_pass(before, game.state), "") << "after pass " << pass;
            ++passes;
            redraws += result.moves + result.take_backs != 0;
            console.clear_output();
        }
    }
    // The streams must reach deep into games, not end at their first requests.
    EXPECT_GT(passes, 20000);
    EXPECT_GT(redraws, 1500);
}

TEST(Stress, EveryPrefixOfAGameEndsTheRun) {
    const std::string game = "14\ne2e4d\ne7e5d\ng1f3d\nb8c6d\nf1c4d\ng8f6d\ne1g1d\nf8c5d\nd2d3d\n"
                             "e8g8d\nc1g5d\nh7h6d\ng5f6d\nd8f6d\nc4f7d\nf8f7d\nf7f6pd\n"
                             "a2a4d\na7a5d\nf3e5d\nc6e5d\n0\n";
    for (std::size_t length = 0; length < game.size(); ++length) {
        SCOPED_TRACE("prefix of " + std::to_string(length) + " bytes");
        const RunResult result = run(game.substr(0, length));
        EXPECT_EQ(result.status, 1);
        EXPECT_EQ(result.consumed, length);
    }
}

} // namespace
} // namespace referee::test
