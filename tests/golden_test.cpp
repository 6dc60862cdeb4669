// Whole-program transcripts: each tests/golden/NAME.in is fed to the referee as its standard
// input, and the readable view of the output, followed by the exit status, must equal NAME.out.
// A NAME that begins with "compact_" is played with the compact board. The same inputs measure
// the window that play needs.
#include "program/screen_size.h"
#include "support.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <iostream>
#include <string_view>

namespace referee::test {
namespace {

namespace fs = std::filesystem;

std::vector<std::string> golden_names() {
    std::vector<std::string> names;
    for (const auto& entry : fs::directory_iterator(REFEREE_GOLDEN_DIR)) {
        if (entry.path().extension() == ".in") {
            names.push_back(entry.path().stem().string());
        }
    }
    std::sort(names.begin(), names.end());
    return names;
}

class Golden : public ::testing::TestWithParam<std::string> { };

BoardStyle style_of(const std::string& name) {
    return name.starts_with("compact_") ? BoardStyle::compact : BoardStyle::full;
}

TEST_P(Golden, OutputMatchesTranscript) {
    const fs::path dir = REFEREE_GOLDEN_DIR;
    const RunResult result
        = run(read_file(dir / (GetParam() + ".in")), GlyphMode::raw, style_of(GetParam()));
    const std::string actual
        = view(result.output) + "\n[exit " + std::to_string(result.status) + "]\n";
    EXPECT_EQ(actual, read_file(dir / (GetParam() + ".out")));
}

INSTANTIATE_TEST_SUITE_P(Transcripts, Golden, ::testing::ValuesIn(golden_names()),
    [](const ::testing::TestParamInfo<std::string>& param) { return param.param; });

// Every text but the drawing is the same with either board: each recorded game, with every drawing
// (a clear and what follows it up to the end of its legend) taken out, prints the same bytes.
std::string without_drawings(std::string_view output, std::string_view legend_end) {
    constexpr std::string_view clear = TextConsole::clear_sequence;
    std::string rest;
    std::size_t at = 0;
    for (std::size_t start; (start = output.find(clear, at)) != std::string_view::npos;) {
        rest += output.substr(at, start - at);
        rest += "[drawing]";
        at = output.find(legend_end, start);
        EXPECT_NE(at, std::string_view::npos);
        if (at == std::string_view::npos) {
            return rest;
        }
        at += legend_end.size();
    }
    return rest + std::string(output.substr(at));
}

TEST(CompactBoard, OnlyTheDrawingDiffers) {
    const fs::path dir = REFEREE_GOLDEN_DIR;
    for (const std::string& name : golden_names()) {
        SCOPED_TRACE(name);
        const std::string input = read_file(dir / (name + ".in"));
        const RunResult full = run(input, GlyphMode::raw, BoardStyle::full);
        const RunResult compact = run(input, GlyphMode::raw, BoardStyle::compact);
        EXPECT_EQ(compact.status, full.status);
        EXPECT_EQ(compact.consumed, full.consumed);
        const std::string rest = without_drawings(full.output, "mbretv");
        EXPECT_NE(rest, full.output);
        // The compact legend ends with the small king's count, which is always 1.
        EXPECT_EQ(without_drawings(compact.output, "  m 1"), rest);
    }
}

// On a terminal each typed line is echoed where it is typed. The first screen is the drawing and
// the prompt. A move typed at the first prompt is read at its second copy (the line end left
// after 14 comes first), so when it is refused its message follows that prompt on the same line.
TEST(WindowSize, ScreensAreMeasuredAsATerminalShowsThem) {
    const WindowSize first = play_screen_size("14\n");
    EXPECT_EQ(first.columns, 109); // the frame
    EXPECT_EQ(first.lines, 59);
    // The prompt on its line, without the line feed it begins with, and the pawn's refusal.
    const std::string prompt_line = prompt(Side::small, 1).substr(1);
    const std::string refusal = prompt_line + said(wrong_way(Kind::pawn), Side::small);
    const WindowSize refused = play_screen_size("14\ne2e5d\n");
    EXPECT_EQ(refused.columns, text_size(refusal).columns);
    EXPECT_EQ(refused.lines, 59 + 3); // the line end, the prompt with the message, the prompt
    // Refused again and again: the drawing scrolls up in any window; only the first answer counts.
    EXPECT_EQ(play_screen_size("14\ne2e5d\ne2e6d\ne2e7d\nd1d5d\n").lines, 59 + 3);
    // On a terminal of 80 columns a line longer than that goes on over the next one: the compact
    // drawing of 13 lines, the prompt with the echo (2), the line end, the prompt with the
    // refusal (2), the prompt.
    EXPECT_EQ(text_size(refusal, 80).columns, 80);
    EXPECT_EQ(text_size(refusal, 80).lines, 2);
    EXPECT_EQ(text_size(prompt_line + "\n" + std::string(80, 'x'), 80).lines, 2); // 80 fit a line
    EXPECT_EQ(text_size(std::string(77, 'x') + "\t\tx", 80).lines, 1); // tabs stop at the end
    EXPECT_EQ(text_size(std::string(77, 'x') + "\t\txy", 80).lines, 2);
    EXPECT_EQ(play_screen_size("14\n", BoardStyle::compact).lines, 14);
    EXPECT_EQ(play_screen_size("14\ne2e5d\n", BoardStyle::compact).lines, 13 + 6);
}

// The hint names the size the chosen board needs; when only the compact board fits, it says so.
TEST(WindowSize, HintPointsToTheCompactBoardWhenOnlyItFits) {
    const std::string full_line = "referee: the board needs a window of at least 123 columns and "
                                  "64 lines; this one has 80 columns and 24 lines.\n";
    EXPECT_EQ(window_hint(BoardStyle::full, {80, 24}),
        full_line
            + "referee: start it with --board=compact for a board that fits this window, or "
              "enlarge the window.\n");
    EXPECT_EQ(window_hint(BoardStyle::full, {79, 24}), window_hint(play_window, {79, 24}));
    EXPECT_EQ(window_hint(BoardStyle::full, {80, compact_window.lines - 1}),
        window_hint(play_window, {80, compact_window.lines - 1}));
    EXPECT_EQ(window_hint(BoardStyle::full, play_window), "");
    EXPECT_EQ(window_hint(BoardStyle::compact, compact_window), "");
    EXPECT_EQ(window_hint(BoardStyle::compact, {79, 40}), window_hint(compact_window, {79, 40}));
    EXPECT_NE(window_hint(BoardStyle::compact, {79, 40}), "");
}

// The window size that --help and the hint name, measured again over every recorded game. When a
// change of the output moves it, this test names the new figure for play_window. The transcripts
// named kit_* are conformance probes: generated request streams with stray bytes, requests out of
// turn and refusals that stack on one line, not games as people play them, so they do not count.
WindowSize measure_recorded_games(BoardStyle style) {
    WindowSize needed{0, 0};
    WindowSize probes{0, 0};
    const fs::path dir = REFEREE_GOLDEN_DIR;
    for (const std::string& name : golden_names()) {
        const WindowSize size = play_screen_size(read_file(dir / (name + ".in")), style);
        WindowSize& into = name.starts_with("kit_") ? probes : needed;
        into.columns = std::max(into.columns, size.columns);
        into.lines = std::max(into.lines, size.lines);
    }
    std::cout << "[ measured ] the recorded games need " << needed.columns << " columns and "
              << needed.lines << " lines\n"
              << "[ measured ] the conformance probes need " << probes.columns << " columns and "
              << probes.lines << " lines (not counted)\n";
    return needed;
}

TEST(WindowSize, PlayWindowIsMeasuredOverTheRecordedGames) {
    const WindowSize needed = measure_recorded_games(BoardStyle::full);
    EXPECT_EQ(needed.columns, play_window.columns) << "set play_window in program/screen_size.h";
    EXPECT_EQ(needed.lines, play_window.lines) << "set play_window in program/screen_size.h";
}

// The compact board, on a terminal as wide as its window: a refusal that follows a prompt goes on
// over the next line. It fits a window of 80 x 24.
TEST(WindowSize, CompactWindowIsMeasuredOverTheRecordedGames) {
    const WindowSize needed = measure_recorded_games(BoardStyle::compact);
    EXPECT_EQ(needed.columns, compact_window.columns)
        << "set compact_window in program/screen_size.h";
    EXPECT_EQ(needed.lines, compact_window.lines) << "set compact_window in program/screen_size.h";
    EXPECT_LE(compact_window.columns, 80);
    EXPECT_LE(compact_window.lines, 24);
}

} // namespace
} // namespace referee::test
