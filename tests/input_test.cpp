// Reading requests: the scanf-like reads, and the request loop's handling of what is typed.
#include "console/scan.h"
#include "support.h"

#include <gtest/gtest.h>

#include <climits>

namespace referee::test {
namespace {

struct IntCase {
    std::string_view input;
    Scan scan;
    int value; // the field afterwards (it starts at -7)
    int next; // the byte left unread
};

TEST(Reads, NumbersAsScanfReadsThem) {
    const IntCase cases[] = {
        {"42x", Scan::assigned, 42, 'x'},
        {" \t\n\v\f\r-17 ", Scan::assigned, -17, ' '},
        {"+5d", Scan::assigned, 5, 'd'},
        {"x5", Scan::mismatch, -7, 'x'},
        {"+-3", Scan::mismatch, -7, '-'}, // the sign is taken, the read fails after it
        {"-\n", Scan::mismatch, -7, '\n'},
        {"", Scan::end_of_input, -7, Console::end_of_input},
        {"  \n", Scan::end_of_input, -7, Console::end_of_input},
        {"-", Scan::end_of_input, -7, Console::end_of_input},
        {"99999999999999999999e", Scan::assigned, INT_MAX, 'e'},
        {"-2147483648", Scan::assigned, INT_MIN, Console::end_of_input},
        {"-99999999999999999999", Scan::assigned, INT_MIN, Console::end_of_input},
        {"2147483647", Scan::assigned, INT_MAX, Console::end_of_input},
    };
    for (const IntCase& c : cases) {
        SCOPED_TRACE(testing::PrintToString(std::string(c.input)));
        StringConsole console{std::string(c.input)};
        int field = -7;
        EXPECT_EQ(scan_int(console, field), c.scan);
        EXPECT_EQ(field, c.value);
        EXPECT_EQ(console.peek_byte(), c.next);
    }
}

TEST(Reads, CharactersTakeAnyByteAndLinesAreDiscardedWhole) {
    StringConsole console{std::string("\n\xff", 2) + "rest of line\nnext"};
    char field = 'z';
    EXPECT_EQ(scan_char(console, field), Scan::assigned);
    EXPECT_EQ(field, '\n');
    EXPECT_EQ(scan_char(console, field), Scan::assigned);
    EXPECT_EQ(field, '\xff');
    discard_line(console);
    EXPECT_EQ(console.peek_byte(), 'n');
    discard_line(console);
    EXPECT_EQ(console.peek_byte(), Console::end_of_input);
    EXPECT_EQ(scan_char(console, field), Scan::end_of_input);
    EXPECT_EQ(field, '\xff');
}

const std::string_view gate = start_gate_text;
const std::string small_prompt_1 = prompt(Side::small, 1);
const std::string big_prompt_2 = prompt(Side::big, 2);

std::size_t count(std::string_view text, std::string_view part) {
    std::size_t found = 0;
    for (std::size_t at = text.find(part); at != std::string_view::npos;
         at = text.find(part, at + 1)) {
        ++found;
    }
    return found;
}

// What a run printed after its first board drawing.
std::string after_start(const RunResult& result) {
    const std::size_t legend = result.output.find("mbretv");
    return legend == std::string::npos ? "" : result.output.substr(legend + 6);
}

TEST(RequestLoop, GateAsksUntilFourteenAndRecoversFromWords) {
    const RunResult result = run("7\nabc def\n+x\n 14\n");
    EXPECT_EQ(count(result.output, gate), 4u);
    EXPECT_EQ(count(result.output, TextConsole::clear_sequence), 1u);
    EXPECT_EQ(result.status, 1);
    // A word typed at the gate with no line feed after it: the input ends at the next read.
    EXPECT_EQ(count(run("abc").output, gate), 2u);
    EXPECT_EQ(run("abc").status, 1);
}

// Each pass returns what its request did, and the report holds what it said, in order.
TEST(RequestLoop, EachPassTellsWhatItsRequestDid) {
    StringConsole console{"14\nx2e4d\ng1e3d\ne2e4d\ne4e2po\n0\n"};
    Game game(console);
    ASSERT_TRUE(start_game(game));
    struct Expected {
        Pass pass;
        int moves;
        int take_backs;
        std::size_t messages;
        int next_number;
    };
    const Expected passes[] = {
        {Pass::dropped, 0, 0, 0, 1}, // the line feed left after 14
        {Pass::dropped, 0, 0, 0, 1}, // x is no file
        {Pass::judged, 0, 0, 1, 1}, // a knight moved like a bishop
        {Pass::judged, 1, 0, 0, 2}, {Pass::judged, 0, 1, 1, 1}, // the small side has its move again
        {Pass::quit, 0, 0, 0, 1}, // the line feed left after the letter, 0, then the end
    };
    for (const Expected& e : passes) {
        const PassResult result = request_pass(game);
        EXPECT_EQ(result.pass, e.pass);
        EXPECT_EQ(result.moves, e.moves);
        EXPECT_EQ(result.take_backs, e.take_backs);
        EXPECT_EQ(result.messages, e.messages);
        EXPECT_EQ(game.state.current_turn().number(), e.next_number);
        if (e.take_backs == 1) {
            EXPECT_EQ(game.state.report.count(Message::took_back, Side::small), 1U);
        } else if (e.messages == 1) {
            EXPECT_EQ(game.state.report.count(wrong_way(Kind::knight), Side::small), 1U);
        }
    }
}

TEST(RequestLoop, FirstLineFeedIsRefusedThenTheMoveIsPlayed) {
    const RunResult result = run("14\ne2e4d\n");
    // The line feed left after 14 is a request of its own, refused silently.
    EXPECT_EQ(after_start(result),
        std::string(small_prompt_1) + std::string(small_prompt_1)
            + result.output.substr(result.output.rfind(TextConsole::clear_sequence),
                result.output.size() - result.output.rfind(TextConsole::clear_sequence)
                    - big_prompt_2.size())
            + std::string(big_prompt_2));
    EXPECT_EQ(result.status, 1);
}

TEST(RequestLoop, MistypedRequestsAreDroppedSilently) {
    // Bad file letters (also the letters either side of a to h, a knight's jump onto them), ranks
    // off the board (also a knight sent to rank 0 or 9), negative ranks, ranks of many digits
    // (also one that would wrap round to 2): each is asked again under the same number with
    // nothing printed.
    const std::string silent = "x2e4d\ne2x4d\ni2e4d\ng1i2d\nb1`2d\n`2a4d\ne9e4d\ne2e0d\nb1a0d\n"
                               "g1h9d\ne0e4d\ne-2e4d\ne2e-4d\nd99999999999d4d\ne2e4294967298d\n";
    const RunResult result = run("14\n" + silent + "e2e4d\n");
    std::string expected;
    for (int i = 0; i < 16; ++i) {
        expected += small_prompt_1;
    }
    EXPECT_EQ(after_start(result).substr(0, expected.size()), expected);
    EXPECT_EQ(count(result.output, TextConsole::clear_sequence), 2u);
    EXPECT_EQ(count(result.output, big_prompt_2), 1u);
}

TEST(RequestLoop, NumbersTakeASignAndWhiteSpaceBeforeThem) {
    // Each white-space byte before either rank, and a plus sign, leave the move as typed.
    for (const char space : {' ', '\t', '\n', '\v', '\f', '\r'}) {
        SCOPED_TRACE(static_cast<int>(space));
        const std::string move = std::string("e") + space + space + "2e" + space + "+4d\n";
        const RunResult result = run("14\n" + move + "0\n");
        EXPECT_EQ(count(result.output, TextConsole::clear_sequence), 2u);
        EXPECT_TRUE(result.output.ends_with(big_prompt_2));
        EXPECT_EQ(result.consumed, 3 + move.size() + 1);
    }
}

TEST(RequestLoop, ZeroLineAtADoubledPromptDoesNotEndTheRun) {
    // The line end left after 14 is read first; the 0 then becomes the first rank of a request
    // whose second file letter is the line end after it, and the next line completes it.
    const RunResult kept = run("14\n0\n0\n0\n");
    EXPECT_EQ(kept.consumed, 9u); // everything, up to the end of input
    EXPECT_EQ(count(kept.output, TextConsole::clear_sequence), 1u);
    // A move line typed next is read whole as a request of its own: the move is carried out,
    // and a 0 after it ends the run at once.
    const RunResult result = run("14\n0\ne2e4d\n0\nx");
    EXPECT_EQ(count(result.output, TextConsole::clear_sequence), 2u);
    EXPECT_TRUE(result.output.ends_with(big_prompt_2));
    EXPECT_EQ(result.consumed, 12u);
}

TEST(RequestLoop, ZeroFirstEndsAtOnce) {
    const RunResult result = run("14\ne2e4d\n0 and whatever follows");
    EXPECT_EQ(result.status, 1);
    EXPECT_TRUE(result.output.ends_with(big_prompt_2));
    EXPECT_EQ(result.consumed, 10u); // nothing read after the 0
}

TEST(RequestLoop, EndOfInputInsideARequestEndsTheRun) {
    for (std::string_view input :
        {"14\n\ne", "14\n\ne2", "14\n\ne2e4", "14\n\ne2e4d", "14\n\ne2-"}) {
        SCOPED_TRACE(testing::PrintToString(std::string(input)));
        const RunResult result = run(input);
        EXPECT_EQ(result.status, 1);
        EXPECT_EQ(after_start(result), std::string(small_prompt_1) + std::string(small_prompt_1));
    }
}

TEST(RequestLoop, IncompleteRequestNeverReusesStaleFields) {
    // After a take-back the fields hold 'p' and 'o'; e2ex stops at 'x' and must not be
    // judged as a take-back of e2 onto e2 that would empty the square.
    const RunResult result = run("14\ne2e4d\ne4e2po\ne2ex\n");
    EXPECT_EQ(count(result.output, TextConsole::clear_sequence), 3u); // start, move, take-back
    const std::string tail = result.output.substr(result.output.rfind("mbretv"));
    EXPECT_EQ(tail,
        "mbretv" + said(Message::took_back, Side::small) + std::string(small_prompt_1)
            + std::string(small_prompt_1) + std::string(small_prompt_1));
}

TEST(RequestLoop, TakeBackNeedsALetterOfTheTable) {
    // e4e2p with the line end as letter changes nothing and hands the turn to nobody.
    const RunResult result = run("14\ne2e4d\ne4e2p\n");
    EXPECT_EQ(count(result.output, TextConsole::clear_sequence), 2u);
    EXPECT_EQ(result.output.substr(result.output.rfind("mbretv")),
        "mbretv" + std::string(big_prompt_2) + std::string(big_prompt_2));
}

} // namespace
} // namespace referee::test
