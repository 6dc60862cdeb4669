// The Windows console's decisions, which a console under an emulator does not show faithfully:
// the code page and mode it sets and puts back, how it clears the screen, and typed line ends.
#include "console/text_console.h"
#include "console/windows/windows_plan.h"

#include <gtest/gtest.h>

#include <cerrno>
#include <string>

namespace referee::windows {
namespace {

constexpr std::uint32_t processed_output = 0x0001; // a usual console output mode flag

TEST(WindowsPlan, ConsoleGetsCodePage437AndEscapeSequencesAndGetsBackItsOwn) {
    const ConsolePlan plan = plan_console({true, 850, processed_output, true});
    EXPECT_EQ(plan.code_page, 437u);
    EXPECT_EQ(plan.restore_code_page, 850u);
    EXPECT_EQ(plan.output_mode, processed_output | virtual_terminal_processing);
    EXPECT_EQ(plan.restore_output_mode, processed_output);
    EXPECT_TRUE(plan.console_line_ends);

    // What the console has already is neither set nor put back.
    const ConsolePlan ready
        = plan_console({true, 437, processed_output | virtual_terminal_processing, false});
    EXPECT_FALSE(ready.code_page);
    EXPECT_FALSE(ready.output_mode);
    EXPECT_FALSE(ready.console_line_ends);

    // UTF-8 glyphs (--glyphs=utf-8): the UTF-8 code page instead, and only where it is missing.
    EXPECT_EQ(plan_console({true, 850, processed_output, true}, GlyphMode::utf8).code_page, 65001u);
    EXPECT_FALSE(plan_console({true, 65001, 0, true}, GlyphMode::utf8).code_page);
}

TEST(WindowsPlan, PipesAndFilesAreLeftAloneEvenWhenTheInputIsAConsole) {
    for (const bool input_is_console : {false, true}) {
        SCOPED_TRACE(input_is_console);
        const ConsolePlan plan = plan_console({false, 0, 0, input_is_console});
        EXPECT_FALSE(plan.code_page);
        EXPECT_FALSE(plan.output_mode);
        EXPECT_EQ(plan.console_line_ends, input_is_console);
    }
    // A pipe gets the clear sequence among the other bytes, in one piece.
    EXPECT_EQ(clear_by(false, false), ClearBy::escape_sequence);
    const std::string output = std::string(TextConsole::clear_sequence) + "board\n";
    EXPECT_EQ(next_piece(output, clear_by(false, false)).length, output.size());
}

TEST(WindowsClear, WithoutEscapeSequencesEachClearIsCarriedOutBetweenThePlainBytes) {
    ASSERT_EQ(clear_by(true, false), ClearBy::console_api);
    ASSERT_EQ(clear_by(true, true), ClearBy::escape_sequence);
    const std::string clear(TextConsole::clear_sequence);
    const std::string output = "intro" + clear + "board\n" + clear + clear + "\x1b[x";
    std::string shown;
    for (std::string_view pending = output; !pending.empty();) {
        const Piece piece = next_piece(pending, ClearBy::console_api);
        ASSERT_GT(piece.length, 0u);
        shown += piece.clear ? "[clear]" : std::string(pending.substr(0, piece.length));
        pending.remove_prefix(piece.length);
    }
    EXPECT_EQ(shown, "intro[clear]board\n[clear][clear]\x1b[x");
    EXPECT_EQ(next_piece(output, ClearBy::escape_sequence).length, output.size());
}

TEST(WindowsOutput, AWriteToAPipeWithoutReaderIsABrokenPipe) {
    EXPECT_EQ(write_error_number(EINVAL, 232), EPIPE); // the pipe is being closed
    EXPECT_EQ(write_error_number(EINVAL, 109), EPIPE); // the pipe has been ended
    EXPECT_EQ(write_error_number(ENOSPC, 112), ENOSPC); // any other failure as it is
    EXPECT_EQ(write_error_number(EBADF, 6), EBADF);
}

// The input that a sequence of console reads gives, and whether a Ctrl+Z ended it.
std::string typed(std::initializer_list<std::string_view> reads, bool& ended) {
    ConsoleLineEnds line_ends;
    std::string out;
    ended = false;
    for (const std::string_view read : reads) {
        std::string room(read.size() + 1, '?');
        const ConsoleLineEnds::Result result = line_ends.translate(read, room.data());
        out += room.substr(0, result.count);
        if (result.ended) {
            ended = true;
            return out;
        }
    }
    char last = '?';
    out += std::string(&last, line_ends.finish(&last));
    return out;
}

TEST(WindowsInput, TypedLinesEndInLineFeedsAndCtrlZEndsTheInput) {
    struct Case {
        std::initializer_list<std::string_view> reads;
        std::string_view read;
        bool ended;
    };
    const Case cases[] = {
        {{"14\r\n", "e2e4d\r\n"}, "14\ne2e4d\n", false},
        {{"e2e4d\r", "\ne7e5d\r\n"}, "e2e4d\ne7e5d\n", false}, // the CR LF split by the reads
        {{"a\rb\r\r\n"}, "a\rb\r\n", false}, // a CR without an LF after it stays
        {{"e2e4d\r"}, "e2e4d\r", false}, // a held CR is not lost at the end of input
        {{"e2e4d\r", "x"}, "e2e4d\rx", false},
        {{"e2\x1a\r\n", "e4d\r\n"}, "e2", true},
        {{"e2e4d\r", "\x1a\r\n"}, "e2e4d\r", true},
        {{"\x1a"}, "", true},
        {{"\n\n"}, "\n\n", false},
    };
    for (const Case& c : cases) {
        std::string all;
        for (const std::string_view read : c.reads) {
            all += std::string(read) + "|";
        }
        SCOPED_TRACE(testing::PrintToString(all));
        bool ended = false;
        EXPECT_EQ(typed(c.reads, ended), c.read);
        EXPECT_EQ(ended, c.ended);
    }
}

} // namespace
} // namespace referee::windows
