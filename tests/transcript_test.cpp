// The built program on real standard input and output gives the same bytes as the string console,
// with raw glyph bytes in the C locale and UTF-8 glyphs in a UTF-8 locale; its command line; and
// its end when standard output cannot be written.
#include "game/screen_size.h"
#include "support.h"

#include <gtest/gtest.h>

#include <cerrno>
#include <cstdlib>
#include <cstring>
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
    std::string errors;
    int status;
    std::string unread; // the input left for a command after the program
};

std::string slurp(const fs::path& path) {
    std::ifstream in(path, std::ios::binary);
    std::ostringstream bytes;
    bytes << in.rdbuf();
    return bytes.str();
}

// Runs the program through the shell with the given arguments, standard output to a file unless
// `sink` sends it elsewhere: a redirection (">/dev/full", ">&-") or, when it begins with '|', a
// pipe to a command, with SIGPIPE ignored. What the program leaves of its input file is read
// after it from the same open file.
ProgramRun run_program(const std::string& input, const std::string& locale = "C",
    const std::string& arguments = "", const std::string& sink = "") {
    const fs::path dir = fs::temp_directory_path() / ("referee_test_" + std::to_string(::getpid()));
    fs::create_directories(dir);
    { std::ofstream(dir / "in", std::ios::binary) << input; }
    const auto file = [&dir](const char* name) {
        std::string quoted = " '";
        quoted += (dir / name).string();
        quoted += '\'';
        return quoted;
    };
    std::ostringstream command;
    if (sink.starts_with('|')) {
        command << "trap '' PIPE; ";
    }
    command << "{ { LC_ALL=" << locale << " '" << REFEREE_EXE << "' " << arguments << " 2>"
            << file("err") << "; echo $? >" << file("status") << "; } ";
    if (sink.empty()) {
        command << '>' << file("out");
    } else {
        command << sink;
    }
    command << "; cat >" << file("rest") << "; } <" << file("in");
    // The program's own status is in the status file; the shell's tells only that it ran.
    EXPECT_NE(std::system(command.str().c_str()), -1) << command.str();
    ProgramRun run{slurp(dir / "out"), slurp(dir / "err"), -1, slurp(dir / "rest")};
    std::istringstream(slurp(dir / "status")) >> run.status;
    fs::remove_all(dir);
    return run;
}

constexpr std::string_view game = "14\ne2e4d\ne7e5d\ng1f3d\nb8c6d\nf1b5d\nd7d6d\nb5c6d\nb7c6d\n0\n";

TEST(Program, TerminalMatchesStringConsole) {
    const ProgramRun program = run_program(std::string(game), "C");
    EXPECT_EQ(program.status, 1);
    EXPECT_EQ(program.output, run(game).output);
    EXPECT_EQ(program.errors, ""); // no window hint when the output is no terminal
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

TEST(Program, HelpAndVersionPrintAndEndWithoutAGame) {
    const std::string version = std::string("referee ") + REFEREE_VERSION + "\n";
    const WindowSize window = first_screen_size();
    const std::string window_line = "The board needs a window of at least "
        + std::to_string(window.columns) + " columns and " + std::to_string(window.lines)
        + " lines.\n";
    std::string help;
    const std::array<std::pair<std::string, bool>, 5> cases{
        {{"--help", false}, {"-h", false}, {"--version", true}, {"-V", true}, {"-V --help", true}}};
    for (const auto& [arguments, is_version] : cases) {
        SCOPED_TRACE(arguments);
        const ProgramRun program = run_program("14\n0\n", "C", arguments);
        EXPECT_EQ(program.status, 0);
        EXPECT_EQ(program.errors, "");
        EXPECT_EQ(program.unread, "14\n0\n"); // no game read its input
        if (is_version) {
            EXPECT_EQ(program.output, version);
            continue;
        }
        EXPECT_TRUE(program.output.starts_with("Usage: referee [--help | --version]\n"));
        EXPECT_NE(program.output.find(window_line), std::string::npos);
        EXPECT_TRUE(program.output.ends_with("See referee(6) for the whole rules.\n"));
        for (const char* topic : {"e2e4d", "e4e2po", "e7e8ed", "e1g1d", "quit"}) {
            EXPECT_NE(program.output.find(topic), std::string::npos) << topic;
        }
        help = help.empty() ? program.output : help;
        EXPECT_EQ(program.output, help); // -h is --help
    }
    // The manual page is configured with the same version.
    EXPECT_NE(slurp(REFEREE_MAN_PAGE).find("\"referee " REFEREE_VERSION "\""), std::string::npos);
}

TEST(Program, UnknownArgumentsAreRefusedWithoutAGame) {
    const std::array<std::pair<std::string, std::string>, 5> cases{{
        {"--foo", "--foo"},
        {"x", "x"},
        {"--help extra", "extra"},
        {"-- -h", "--"},
        {"''", ""},
    }};
    for (const auto& [arguments, named] : cases) {
        SCOPED_TRACE(arguments);
        const ProgramRun program = run_program("14\n0\n", "C", arguments);
        EXPECT_EQ(program.status, 2);
        EXPECT_EQ(program.output, "");
        EXPECT_EQ(
            program.errors, "referee: unknown option '" + named + "'\nTry 'referee --help'.\n");
        EXPECT_EQ(program.unread, "14\n0\n");
    }
}

// A closed output or a full disk: the report at the first write, which comes before the first
// read, so the whole input is left unread; status 2 instead of the game's own 1.
TEST(Program, OutputThatCannotBeWrittenEndsTheRunAtOnce) {
    const std::array<std::pair<std::string, int>, 2> cases{
        {{">/dev/full", ENOSPC}, {">&-", EBADF}}};
    for (const auto& [output, error] : cases) {
        SCOPED_TRACE(output);
        const ProgramRun program = run_program(std::string(game), "C", "", output);
        EXPECT_EQ(program.status, 2);
        EXPECT_EQ(
            program.errors, "referee: write error: " + std::string(std::strerror(error)) + "\n");
        EXPECT_EQ(program.unread, game);
    }
}

// A reader that goes away, with SIGPIPE ignored: more output than a pipe holds, so a write
// fails with EPIPE whatever the timing.
TEST(Program, BrokenPipeEndsTheRun) {
    std::string input = "14\n";
    for (int round = 0; round < 20; ++round) {
        input += "g1f3d\ng8f6d\nf3g1d\nf6g8d\n";
    }
    input += "0\n";
    const ProgramRun program = run_program(input, "C", "", "| true");
    EXPECT_EQ(program.status, 2);
    EXPECT_EQ(program.errors, "referee: write error: " + std::string(std::strerror(EPIPE)) + "\n");
}

} // namespace
} // namespace referee::test
