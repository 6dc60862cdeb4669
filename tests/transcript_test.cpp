// The built program on real standard input and output gives the same bytes as the string console,
// with raw glyph bytes in the C locale and UTF-8 glyphs in a UTF-8 locale.
#include "support.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <sys/wait.h>
#include <unistd.h>

namespace referee::test {
namespace {

namespace fs = std::filesystem;

struct ProgramRun {
    std::string output;
    int status;
};

ProgramRun run_program(const std::string& input, const std::string& locale) {
    const fs::path dir = fs::temp_directory_path() / ("referee_test_" + std::to_string(::getpid()));
    fs::create_directories(dir);
    { std::ofstream(dir / "in", std::ios::binary) << input; }
    const std::string command = "LC_ALL=" + locale + " '" + std::string(REFEREE_EXE) + "' < '"
        + (dir / "in").string() + "' > '" + (dir / "out").string() + "'";
    const int raw_status = std::system(command.c_str());
    std::ifstream out(dir / "out", std::ios::binary);
    std::ostringstream bytes;
    bytes << out.rdbuf();
    fs::remove_all(dir);
    return {bytes.str(), WIFEXITED(raw_status) ? WEXITSTATUS(raw_status) : -1};
}

constexpr std::string_view game = "14\ne2e4d\ne7e5d\ng1f3d\nb8c6d\nf1b5d\nd7d6d\nb5c6d\nb7c6d\n0\n";

TEST(Program, TerminalMatchesStringConsole) {
    const ProgramRun program = run_program(std::string(game), "C");
    EXPECT_EQ(program.status, 1);
    EXPECT_EQ(program.output, run(game).output);
}

TEST(Program, Utf8LocaleGetsUtf8Glyphs) {
    const ProgramRun program = run_program(std::string(game), "C.UTF-8");
    EXPECT_EQ(program.status, 1);
    EXPECT_EQ(program.output, run(game, GlyphMode::utf8).output);
    EXPECT_NE(program.output.find("\u2660"), std::string::npos);
}

TEST(Program, EmptyInputEndsAtTheGate) {
    const ProgramRun program = run_program("", "C");
    EXPECT_EQ(program.status, 1);
    EXPECT_TRUE(program.output.ends_with("PER TE STARTUAR LOJEN."));
}

} // namespace
} // namespace referee::test
