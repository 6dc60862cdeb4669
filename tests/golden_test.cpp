// Whole-program transcripts: each tests/golden/NAME.in is fed to the referee as its standard
// input, and the readable view of the output, followed by the exit status, must equal NAME.out.
// The same inputs measure the window that play needs.
#include "game/screen_size.h"
#include "support.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <iostream>

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

TEST_P(Golden, OutputMatchesTranscript) {
    const fs::path dir = REFEREE_GOLDEN_DIR;
    const RunResult result = run(read_file(dir / (GetParam() + ".in")));
    const std::string actual
        = view(result.output) + "\n[exit " + std::to_string(result.status) + "]\n";
    EXPECT_EQ(actual, read_file(dir / (GetParam() + ".out")));
}

INSTANTIATE_TEST_SUITE_P(Transcripts, Golden, ::testing::ValuesIn(golden_names()),
    [](const ::testing::TestParamInfo<std::string>& param) { return param.param; });

// On a terminal each typed line is echoed where it is typed. The first screen is the drawing and
// the prompt. A move typed at the first prompt is read at its second copy (the line end left
// after 14 comes first), so when it is refused its message follows that prompt on the same line.
TEST(WindowSize, ScreensAreMeasuredAsATerminalShowsThem) {
    const WindowSize first = play_screen_size("14\n");
    EXPECT_EQ(first.columns, 109); // the frame
    EXPECT_EQ(first.lines, 59);
    const std::string prompt = "\t\t\t\t\t\t Levizja nr  1, luan i vogli:>";
    const WindowSize refused = play_screen_size("14\ne2e5d\n");
    EXPECT_EQ(refused.columns,
        text_size(prompt + "\t ERROR 519! USHTARIV S'LEVIZ NE ATE MENYRE!").columns);
    EXPECT_EQ(refused.lines, 59 + 3); // the line end, the prompt with the message, the prompt
    // Refused again and again: the drawing scrolls up in any window; only the first answer counts.
    EXPECT_EQ(play_screen_size("14\ne2e5d\ne2e6d\ne2e7d\nd1d5d\n").lines, 59 + 3);
}

// The window size that --help and the hint name, measured again over every recorded game. When a
// change of the output moves it, this test names the new figure for play_window. The transcripts
// named kit_* are conformance probes: generated request streams with stray bytes, requests out of
// turn and refusals that stack on one line, not games as people play them, so they do not count.
TEST(WindowSize, PlayWindowIsMeasuredOverTheRecordedGames) {
    WindowSize needed{0, 0};
    WindowSize probes{0, 0};
    const fs::path dir = REFEREE_GOLDEN_DIR;
    for (const std::string& name : golden_names()) {
        const WindowSize size = play_screen_size(read_file(dir / (name + ".in")));
        WindowSize& into = name.starts_with("kit_") ? probes : needed;
        into.columns = std::max(into.columns, size.columns);
        into.lines = std::max(into.lines, size.lines);
    }
    std::cout << "[ measured ] the recorded games need " << needed.columns << " columns and "
              << needed.lines << " lines\n"
              << "[ measured ] the conformance probes need " << probes.columns << " columns and "
              << probes.lines << " lines (not counted)\n";
    EXPECT_EQ(needed.columns, play_window.columns) << "set play_window in game/screen_size.h";
    EXPECT_EQ(needed.lines, play_window.lines) << "set play_window in game/screen_size.h";
}

} // namespace
} // namespace referee::test
