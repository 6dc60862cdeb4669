// The built program on real standard input and output gives the same bytes as the string console,
// with raw glyph bytes in the C locale and UTF-8 glyphs in a UTF-8 locale; its command line; and
// its end when standard output cannot be written.
#include "program/screen_size.h"
#include "referee_version.h"
#include "support.h"

#include <gtest/gtest.h>

#include <cerrno>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <sstream>
#ifdef _WIN32
#include <process.h>
#include <windows.h>
#else
#include <unistd.h>
#endif

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

#ifdef _WIN32
// No locale is taken from the environment, and there is no device of a full disk.
constexpr bool honours_locale = false;
bool sink_supported(const std::string& sink) {
    return sink != ">/dev/full";
}

// Closes a handle when it goes.
struct Handle {
    HANDLE handle = nullptr;
    explicit Handle(HANDLE opened)
        : handle(opened == INVALID_HANDLE_VALUE ? nullptr : opened) { }
    Handle(const Handle&) = delete;
    Handle& operator=(const Handle&) = delete;
    ~Handle() {
        if (handle != nullptr) {
            CloseHandle(handle);
        }
    }
};

// Runs the program as the shell version below does, started directly with its three standard
// handles: the sinks are a closed output (">&-") and a pipe whose reader is gone ("| true").
// Shell quotes of an empty argument ('') become the command line's (""). The input file stays
// open here, so what the program left of it is read from the same handle afterwards.
ProgramRun run_program(const std::string& input, const std::string& /*locale*/ = "C",
    const std::string& arguments = "", const std::string& sink = "") {
    const fs::path dir = fs::temp_directory_path() / ("referee_test_" + std::to_string(_getpid()));
    fs::create_directories(dir);
    { std::ofstream(dir / "in", std::ios::binary) << input; }
    SECURITY_ATTRIBUTES inherited{sizeof(SECURITY_ATTRIBUTES), nullptr, TRUE};
    const auto open = [&](const char* name, DWORD access, DWORD creation) {
        return CreateFileA((dir / name).string().c_str(), access, FILE_SHARE_READ, &inherited,
            creation, FILE_ATTRIBUTE_NORMAL, nullptr);
    };
    ProgramRun run{"", "", -1, ""};
    {
        const Handle in(open("in", GENERIC_READ, OPEN_EXISTING));
        const Handle errors(open("err", GENERIC_WRITE, CREATE_ALWAYS));
        HANDLE output = nullptr;
        if (sink.empty()) {
            output = open("out", GENERIC_WRITE, CREATE_ALWAYS);
        } else if (sink == "| true") {
            HANDLE reader = nullptr;
            CreatePipe(&reader, &output, &inherited, 0);
            CloseHandle(reader);
        }
        const Handle out(output);
        STARTUPINFOA startup{};
        startup.cb = sizeof startup;
        startup.dwFlags = STARTF_USESTDHANDLES;
        startup.hStdInput = in.handle;
        startup.hStdOutput = out.handle;
        startup.hStdError = errors.handle;
        // Built by appending: GCC 12 warns falsely about a quote literal added before a string.
        std::string command = "\"";
        command.append(fs::path(REFEREE_EXE).make_preferred().string()).append("\" ");
        for (std::size_t at = 0; at < arguments.size(); ++at) {
            const bool empty_word = arguments.compare(at, 2, "''") == 0;
            command.append(empty_word ? "\"\"" : arguments.substr(at, 1));
            at += empty_word ? 1 : 0;
        }
        PROCESS_INFORMATION process{};
        const bool started = CreateProcessA(nullptr, command.data(), nullptr, nullptr, TRUE, 0,
                                 nullptr, nullptr, &startup, &process)
            != 0;
        EXPECT_TRUE(started) << command;
        if (started) {
            WaitForSingleObject(process.hProcess, INFINITE);
            DWORD status = 0;
            GetExitCodeProcess(process.hProcess, &status);
            run.status = static_cast<int>(status);
            CloseHandle(process.hThread);
            CloseHandle(process.hProcess);
        }
        std::array<char, 4096> rest{};
        DWORD count = 0;
        while (ReadFile(in.handle, rest.data(), rest.size(), &count, nullptr) != 0 && count > 0) {
            run.unread.append(rest.data(), count);
        }
    } // every file closed before its folder goes: Windows keeps open files
    run.output = slurp(dir / "out");
    run.errors = slurp(dir / "err");
    fs::remove_all(dir);
    return run;
}
#else
constexpr bool honours_locale = true;
bool sink_supported(const std::string& /*sink*/) {
    return true;
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
#endif

constexpr std::string_view game = "14\ne2e4d\ne7e5d\ng1f3d\nb8c6d\nf1b5d\nd7d6d\nb5c6d\nb7c6d\n0\n";

TEST(Program, TerminalMatchesStringConsole) {
    const ProgramRun program = run_program(std::string(game), "C");
    EXPECT_EQ(program.status, 1);
    EXPECT_EQ(program.output, run(game).output);
    EXPECT_EQ(program.errors, ""); // no window hint when the output is no terminal
}

TEST(Program, Utf8LocaleGetsUtf8Glyphs) {
    if (!honours_locale) {
        GTEST_SKIP() << "the program takes no locale from the environment here";
    }
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
    const WindowSize window = play_window;
    const std::string window_line = "The board needs a window of at least "
        + std::to_string(window.columns) + " columns and " + std::to_string(window.lines)
        + " lines; the compact\nboard (--board=compact) one of "
        + std::to_string(compact_window.columns) + " columns and "
        + std::to_string(compact_window.lines) + " lines, which the usual\n";
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
        EXPECT_TRUE(program.output.starts_with(
            "Usage: referee [--board=compact] [--glyphs=utf-8 | --glyphs=cp437] [--save FILE]\n"));
        EXPECT_NE(program.output.find(window_line), std::string::npos);
        EXPECT_TRUE(program.output.ends_with("See referee(6) for the whole rules.\n"));
        for (const char* topic : {"e2e4d", "e4e2po", "e7e8ed", "e1g1d", "quit", "Ctrl-C",
                 "--glyphs=cp437", "half-moves", "Exit status"}) {
            EXPECT_NE(program.output.find(topic), std::string::npos) << topic;
        }
        help = help.empty() ? program.output : help;
        EXPECT_EQ(program.output, help); // -h is --help
    }
    // The manual page is configured with the same version; it and the README name the same size.
    EXPECT_NE(slurp(REFEREE_MAN_PAGE).find("\"referee " REFEREE_VERSION "\""), std::string::npos);
    const fs::path readme = fs::path(REFEREE_GOLDEN_DIR).parent_path().parent_path() / "README.md";
    const fs::path windows_readme = readme.parent_path() / "packaging" / "windows-README.txt";
    for (const WindowSize needed : {window, compact_window}) {
        const std::string size = std::to_string(needed.columns) + " columns and "
            + std::to_string(needed.lines) + " lines";
        EXPECT_NE(slurp(REFEREE_MAN_PAGE).find(size), std::string::npos) << size;
        EXPECT_NE(slurp(readme).find(size), std::string::npos) << size;
        EXPECT_NE(slurp(windows_readme).find(size), std::string::npos) << size;
    }
}

TEST(Program, UnknownArgumentsAreRefusedWithoutAGame) {
    const std::array<std::pair<std::string, std::string>, 10> cases{{
        {"--foo", "referee: unknown option '--foo'"},
        {"-- -h", "referee: unknown option '--'"},
        {"x", "referee: unexpected argument 'x'"},
        {"--help extra", "referee: unexpected argument 'extra'"},
        {"''", "referee: unexpected argument ''"},
        {"-", "referee: unexpected argument '-'"},
        {"--glyphs=latin1", "referee: --glyphs takes utf-8 or cp437, not 'latin1'"},
        {"--glyphs", "referee: unknown option '--glyphs'"},
        {"--board=small", "referee: --board takes full or compact, not 'small'"},
        {"--board", "referee: unknown option '--board'"},
    }};
    for (const auto& [arguments, message] : cases) {
        SCOPED_TRACE(arguments);
        const ProgramRun program = run_program("14\n0\n", "C", arguments);
        EXPECT_EQ(program.status, 2);
        EXPECT_EQ(program.output, "");
        EXPECT_EQ(program.errors, message + "\nTry 'referee --help'.\n");
        EXPECT_EQ(program.unread, "14\n0\n");
    }
}

// --glyphs forces the encoding whatever the locale: UTF-8 into a file in the C locale, code page
// 437 bytes in a UTF-8 locale.
TEST(Program, GlyphsOptionForcesTheEncoding) {
    if (!honours_locale) {
        GTEST_SKIP() << "the program takes no locale from the environment here";
    }
    const ProgramRun utf8 = run_program(std::string(game), "C", "--glyphs=utf-8");
    EXPECT_EQ(utf8.status, 1);
    EXPECT_EQ(utf8.output, run(game, GlyphMode::utf8).output);
    const ProgramRun raw = run_program(std::string(game), "C.UTF-8", "--glyphs=cp437");
    EXPECT_EQ(raw.status, 1);
    EXPECT_EQ(raw.output, run(game).output);
}

// --board chooses the drawing, the last one given counting, in either encoding.
TEST(Program, BoardOptionChoosesTheDrawing) {
    const ProgramRun compact = run_program(std::string(game), "C", "--board=compact");
    EXPECT_EQ(compact.status, 1);
    EXPECT_EQ(compact.output, run(game, GlyphMode::raw, BoardStyle::compact).output);
    EXPECT_NE(compact.output, run(game).output);
    EXPECT_EQ(run_program(std::string(game), "C", "--board=compact --board=full").output,
        run(game).output);
    const ProgramRun utf8 = run_program(std::string(game), "C", "--glyphs=utf-8 --board=compact");
    EXPECT_EQ(utf8.output, run(game, GlyphMode::utf8, BoardStyle::compact).output);
    EXPECT_NE(utf8.output.find("\u2592m\u2592"), std::string::npos); // the small king on e1
}

// Standard input that cannot be read ends the run with a report and status 2, once the output
// so far is written; the end of input is no error: status 1 and nothing said.
TEST(Program, ReadErrorsAreReportedAndTheEndOfInputIsNot) {
    if (!honours_locale) {
        GTEST_SKIP() << "the redirections are the POSIX shell's";
    }
    const std::array<std::pair<std::string, int>, 2> cases{{{"<&-", EBADF}, {"</", EISDIR}}};
    for (const auto& [input, error] : cases) {
        SCOPED_TRACE(input);
        const ProgramRun program = run_program(std::string(game), "C", input);
        EXPECT_EQ(program.status, 2);
        EXPECT_EQ(
            program.errors, "referee: read error: " + std::string(std::strerror(error)) + "\n");
        EXPECT_TRUE(program.output.ends_with("PER TE STARTUAR LOJEN.")) << "flushed before";
    }
    const ProgramRun ended = run_program("14\ne2e4d\n", "C", "</dev/null");
    EXPECT_EQ(ended.status, 1);
    EXPECT_EQ(ended.errors, "");
    const ProgramRun mid_game = run_program("14\ne2e4d\ne7");
    EXPECT_EQ(mid_game.status, 1);
    EXPECT_EQ(mid_game.errors, "");
    EXPECT_EQ(mid_game.output, run("14\ne2e4d\ne7").output); // no line feed added on a file
}

// A closed output or a full disk: the report at the first write, which comes before the first
// read, so the whole input is left unread; status 2 instead of the game's own 1.
TEST(Program, OutputThatCannotBeWrittenEndsTheRunAtOnce) {
    const std::array<std::pair<std::string, int>, 2> cases{
        {{">/dev/full", ENOSPC}, {">&-", EBADF}}};
    for (const auto& [output, error] : cases) {
        SCOPED_TRACE(output);
        if (!sink_supported(output)) {
            continue;
        }
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
