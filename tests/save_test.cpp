// A game kept with --save: played in two sittings it ends on the screen of the same game played
// in one, its record holds what was typed but the quitting request, a killed run loses no line
// read before the kill, and each file that cannot hold a record is refused, left as it was.
#include "console/recording/recording_console.h"
#include "game/record_rule.h"
#include "game/request_loop.h"
#include "program/screen_size.h"
#include "support.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <array>
#include <chrono>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <optional>
#include <sstream>
#include <thread>
#include <vector>
#ifndef _WIN32
#include <csignal>
#include <fcntl.h>
#include <sys/resource.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>
#endif

namespace referee::test {
namespace {

namespace fs = std::filesystem;

// What a player sees at the end: everything since the last clear, or all of it.
std::string last_screen(const std::string& output) {
    const std::size_t clear = output.rfind(TextConsole::clear_sequence);
    return output.substr(clear == std::string::npos ? 0 : clear);
}

// What a game taken up again shows first: the clear and the last screen's lines that the play
// window holds, the last ones.
std::string resumed_screen(const std::string& output) {
    const std::string screen = last_screen(output).substr(TextConsole::clear_sequence.size());
    std::vector<std::size_t> line_ends;
    for (std::size_t at = 0; at < screen.size(); ++at) {
        if (screen[at] == '\n') {
            line_ends.push_back(at);
        }
    }
    const auto lines = static_cast<std::size_t>(play_window.lines);
    const std::size_t start
        = line_ends.size() < lines ? 0 : line_ends[line_ends.size() - lines] + 1;
    return std::string(TextConsole::clear_sequence) + screen.substr(start);
}

struct StringSink final : RecordSink {
    std::string bytes;
    void append(std::string_view more) override { bytes += more; }
};

// One sitting on the string console: the game fed the record so far, then `typed`.
std::string sitting(StringSink& sink, const std::string& typed, GlyphMode mode) {
    StringConsole real(typed, mode);
    RecordingConsole recording(real, sink.bytes, sink, static_cast<std::size_t>(play_window.lines));
    run_referee(recording);
    EXPECT_TRUE(recording.finish());
    return real.output();
}

// Every golden game broken off with 0 after each of its lines and taken up again: the second
// sitting opens on the screen the first one left (its last lines when it is taller than the play
// window) and ends on the screen of the whole game in one sitting, and the record is every line
// typed but the 0. (Where the pending line end makes
// a 0 part of a request, it does not quit; those breaks are passed over.)
TEST(Recording, TwoSittingsEndOnTheScreenOfOne) {
    int breaks = 0;
    for (const char* name :
        {"promotion", "take_back", "castling_forgets_check", "piece_refusals"}) {
        std::istringstream in(
            read_file(fs::path(REFEREE_GOLDEN_DIR) / (std::string(name) + ".in")));
        std::vector<std::string> lines;
        for (std::string line; std::getline(in, line) && !line.starts_with('0');) {
            lines.push_back(line + "\n");
        }
        for (const GlyphMode mode : {GlyphMode::raw, GlyphMode::utf8}) {
            std::string whole;
            for (const std::string& line : lines) {
                whole += line;
            }
            const std::string one_sitting = last_screen(run(whole + "0\n", mode).output);
            std::string first;
            for (std::size_t at = 1; at < lines.size(); ++at) {
                SCOPED_TRACE(std::string(name) + " broken off after line " + std::to_string(at));
                first += lines[at - 1];
                StringSink sink;
                sitting(sink, first + "0\nnot read\n", mode);
                if (sink.bytes != first) {
                    continue;
                }
                ++breaks;
                const std::string output = sitting(sink, whole.substr(first.size()) + "0\n", mode);
                EXPECT_TRUE(output.starts_with(resumed_screen(run(first, mode).output)));
                EXPECT_EQ(last_screen(output), one_sitting);
                EXPECT_EQ(sink.bytes, whole);
            }
        }
    }
    EXPECT_GE(breaks, 80);
}

// The rule for a record, on bytes. Refused: files of other programs, which never get past the
// start gate, a binary, and a record that quits the game. Taken up: an empty file, each record
// the program writes for a golden game, such a record cut in the middle of any line by a kill,
// and one with mistyped lines and wrong numbers at the gate.
TEST(Recording, OnlyItsOwnRecordsAreTakenUp) {
    const fs::path source = fs::path(REFEREE_GOLDEN_DIR).parent_path().parent_path();
    const std::string gate = "its replay does not get past the start gate";
    for (const char* name : {"README.md", "program/main.cpp", "CMakeLists.txt", "man/referee.6"}) {
        const std::string bytes = read_file(source / name);
        ASSERT_FALSE(bytes.empty()) << name;
        EXPECT_EQ(record_refusal(bytes), gate) << name;
    }
    const std::string passwd = "root:x:0:0:root:/root:/bin/bash\ndaemon:x:1:1:daemon:/usr/sbin:"
                               "/usr/sbin/nologin\nbin:x:2:2:bin:/bin:/usr/sbin/nologin\n";
    EXPECT_EQ(record_refusal(passwd), gate);
    EXPECT_EQ(record_refusal("milk\neggs\nbread\n"), gate);
    EXPECT_EQ(record_refusal("12\n"), gate);
    const std::string png = read_file(source / "docs/board.png");
    ASSERT_GT(png.size(), 8U);
    EXPECT_EQ(record_refusal(png),
        "byte 9 of " + std::to_string(png.size()) + " is a NUL, so it is not text");
    EXPECT_EQ(record_refusal(std::string("14\ne2e4d\n\0", 10)),
        "byte 10 of 10 is a NUL, so it is not text");
    EXPECT_EQ(
        record_refusal("14\ne2e4d\n0\ne7e5d\n"), "its replay quits the game at byte 10 of 17");

    for (const std::string_view record : {"", "14", "14\ne2e",
             "  +x\n12\n-3\nmilk\n14\nzz\ne2x4d\ne2e4d\n", "14\n\x1b[A\xc3\xabr\t\r\n\x01\x7f\n"}) {
        EXPECT_EQ(record_refusal(record), std::nullopt) << record;
    }
    int records = 0;
    for (const auto& entry : fs::directory_iterator(REFEREE_GOLDEN_DIR)) {
        if (entry.path().extension() != ".in") {
            continue;
        }
        SCOPED_TRACE(entry.path().filename().string());
        const std::string input = read_file(entry.path());
        if (input.find('\0') != std::string::npos) {
            continue; // bytes no keyboard types, read from a file: such a record is refused
        }
        StringSink sink;
        StringConsole real(input);
        RecordingConsole recording(real, "", sink, 1);
        run_referee(recording);
        ASSERT_TRUE(recording.finish());
        EXPECT_EQ(record_refusal(sink.bytes), std::nullopt);
        // (Each line after the gate cut in its middle; a last line without its line feed too.)
        std::size_t start = sink.bytes.find('\n');
        while (start != std::string::npos && record_refusal(sink.bytes.substr(0, start + 1))) {
            start = sink.bytes.find('\n', start + 1);
        }
        while (start != std::string::npos && ++start < sink.bytes.size()) {
            const std::size_t end = std::min(sink.bytes.find('\n', start), sink.bytes.size());
            const std::size_t cut = start + (end - start + 1) / 2;
            EXPECT_EQ(record_refusal(sink.bytes.substr(0, cut)), std::nullopt) << cut;
            start = end < sink.bytes.size() ? end : std::string::npos;
        }
        ++records;
    }
    EXPECT_GE(records, 20);

    // Lines typed at the gate are kept in memory until it is passed, the older ones forgotten
    // past 64 KiB: the record holds the newest of them, and its replay is the same game.
    std::string typed;
    for (int line = 0; line < 20000; ++line) {
        typed += line % 7 == 0 ? "12\n" : "milk\n";
    }
    typed += "14\ne2e4d\n";
    StringSink sink;
    StringConsole real(typed);
    RecordingConsole recording(real, "", sink, 1);
    run_referee(recording);
    ASSERT_TRUE(recording.finish());
    EXPECT_LE(sink.bytes.size(), std::size_t{1} << 16);
    EXPECT_TRUE(sink.bytes.ends_with("14\ne2e4d\n"));
    EXPECT_EQ(record_refusal(sink.bytes), std::nullopt);
    EXPECT_EQ(last_screen(run(sink.bytes).output), last_screen(run(typed).output));
}

#ifndef _WIN32
// A scratch folder for one test, removed with it.
struct Scratch {
    fs::path dir = fs::temp_directory_path() / ("referee_save_" + std::to_string(::getpid()));
    Scratch() { fs::create_directories(dir); }
    Scratch(const Scratch&) = delete;
    Scratch& operator=(const Scratch&) = delete;
    ~Scratch() { fs::remove_all(dir); }
};

struct ProgramRun {
    std::string output;
    std::string errors;
    int status = -1;
};

ProgramRun run_program(const Scratch& scratch, const std::string& arguments,
    const std::string& input, const std::string& locale = "C") {
    const fs::path dir = scratch.dir;
    { std::ofstream(dir / "in", std::ios::binary) << input; }
    const std::string command = "LC_ALL=" + locale + " '" + REFEREE_EXE + "' " + arguments + " <'"
        + (dir / "in").string() + "' >'" + (dir / "out").string() + "' 2>'" + (dir / "err").string()
        + "'; echo $? >'" + (dir / "status").string() + "'";
    EXPECT_NE(std::system(command.c_str()), -1) << command;
    ProgramRun run{read_file(dir / "out"), read_file(dir / "err"), -1};
    std::istringstream(read_file(dir / "status")) >> run.status;
    return run;
}

// The referee started with --save FILE on a pipe this test writes to.
struct Player {
    pid_t pid = -1;
    int typing = -1;

    explicit Player(const fs::path& file) {
        std::array<int, 2> ends{};
        EXPECT_EQ(::pipe(ends.data()), 0);
        pid = ::fork();
        if (pid == 0) {
            ::dup2(ends[0], STDIN_FILENO);
            const int null = ::open("/dev/null", O_WRONLY);
            ::dup2(null, STDOUT_FILENO);
            ::close(ends[1]);
            ::execl(REFEREE_EXE, "referee", "--save", file.c_str(), nullptr);
            std::_Exit(127);
        }
        ::close(ends[0]);
        typing = ends[1];
    }
    Player(const Player&) = delete;
    Player& operator=(const Player&) = delete;
    ~Player() {
        if (typing >= 0) {
            ::close(typing);
        }
        if (pid > 0) {
            ::kill(pid, SIGKILL);
            ::waitpid(pid, nullptr, 0);
        }
    }

    void type(const std::string& line) const {
        EXPECT_EQ(::write(typing, line.data(), line.size()), static_cast<ssize_t>(line.size()));
    }
    // The status of the process once it has ended; a signal counts as 128 + its number.
    int end(int signal) {
        if (signal != 0) {
            ::kill(pid, signal);
        }
        ::close(typing);
        typing = -1;
        int status = 0;
        ::waitpid(pid, &status, 0);
        pid = -1;
        return WIFSIGNALED(status) ? 128 + WTERMSIG(status) : WEXITSTATUS(status);
    }
};

// Waits until the file holds `bytes`, for at most ten seconds; returns what it holds.
std::string wait_for(const fs::path& file, const std::string& bytes) {
    std::string held;
    for (int tries = 0; tries < 1000 && (held = read_file(file)) != bytes; ++tries) {
        std::this_thread::sleep_for(std::chrono::milliseconds(10));
    }
    return held;
}

// In both encodings through the real program: the record, the screen shown on resuming, and the
// screen at the end.
TEST(Program, SavedGameInTwoSittingsEndsOnTheScreenOfOne) {
    const std::string first = "14\ne2e4d\ne7e5d\ng1f3d\n";
    const std::string second = "b8c6d\nf1b5d\nd7d6d\nb5c6d\n";
    for (const auto& [locale, mode] :
        {std::pair{"C", GlyphMode::raw}, std::pair{"C.UTF-8", GlyphMode::utf8}}) {
        SCOPED_TRACE(locale);
        const Scratch scratch;
        const std::string save = "--save '" + (scratch.dir / "game").string() + "'";
        ProgramRun program = run_program(scratch, save, first + "0\ne7e5d\n", locale);
        EXPECT_EQ(program.status, 1);
        EXPECT_EQ(read_file(scratch.dir / "game"), first);
        program = run_program(scratch, save, second + "0\n", locale);
        EXPECT_EQ(program.status, 1);
        EXPECT_EQ(program.errors, "");
        EXPECT_TRUE(program.output.starts_with(resumed_screen(run(first, mode).output)));
        EXPECT_EQ(
            last_screen(program.output), last_screen(run(first + second + "0\n", mode).output));
        EXPECT_EQ(read_file(scratch.dir / "game"), first + second);
    }
}

// The record holds what was typed, never the drawing: a game saved with one board goes on with
// the other, from the same position, and back.
TEST(Program, SavedGameGoesOnWithTheOtherBoard) {
    const std::string first = "14\ne2e4d\ne7e5d\ng1f3d\n";
    const std::string second = "b8c6d\nf1b5d\n";
    const std::string third = "d7d6d\nb5c6d\n";
    const Scratch scratch;
    const std::string save = "--save '" + (scratch.dir / "game").string() + "'";
    ProgramRun program = run_program(scratch, save, first + "0\n");
    EXPECT_EQ(program.status, 1);
    program = run_program(scratch, "--board=compact " + save, second + "0\n");
    EXPECT_EQ(program.errors, "");
    const std::string compact_so_far
        = run(first + second + "0\n", GlyphMode::raw, BoardStyle::compact).output;
    EXPECT_TRUE(program.output.starts_with(
        last_screen(run(first, GlyphMode::raw, BoardStyle::compact).output)));
    EXPECT_EQ(last_screen(program.output), last_screen(compact_so_far));
    EXPECT_EQ(read_file(scratch.dir / "game"), first + second);
    program = run_program(scratch, save + " --board=full", third + "0\n");
    EXPECT_EQ(program.errors, "");
    EXPECT_EQ(last_screen(program.output), last_screen(run(first + second + third + "0\n").output));
    EXPECT_EQ(read_file(scratch.dir / "game"), first + second + third);
}

// Each line is saved before the program waits for the next, so a kill loses none of them, and
// the resumed game shows the board after the last of them.
TEST(Program, KilledGameResumesWithEveryLineRead) {
    const Scratch scratch;
    const fs::path file = scratch.dir / "game";
    std::string typed;
    Player player(file);
    for (const char* line : {"14\n", "e2e4d\n", "e7e5d\n", "d1h5d\n", "b8c6d\n"}) {
        typed += line;
        player.type(line);
        ASSERT_EQ(wait_for(file, typed), typed);
    }
    EXPECT_EQ(player.end(SIGKILL), 128 + SIGKILL);
    const ProgramRun resumed = run_program(scratch, "-s '" + file.string() + "'", "0\n");
    EXPECT_EQ(resumed.status, 1);
    EXPECT_EQ(resumed.output, last_screen(run(typed).output));
    EXPECT_EQ(read_file(file), typed);
}

// A record of a 10 MB mistyped line: the game taken up again shows the last lines of its screen
// that the play window holds (each byte was a request refused silently) and keeps little memory.
TEST(Program, LongRecordResumesOnAWindowOfItsScreenInLittleMemory) {
    const Scratch scratch;
    const fs::path file = scratch.dir / "long";
    { std::ofstream(file, std::ios::binary) << "14\n" << std::string(10'000'000, 'x') << '\n'; }
    const pid_t pid = ::fork();
    if (pid == 0) {
        const int input = ::open("/dev/null", O_RDONLY);
        const int output = ::open((scratch.dir / "out").c_str(), O_WRONLY | O_CREAT, 0600);
        ::dup2(input, STDIN_FILENO);
        ::dup2(output, STDOUT_FILENO);
        ::execl(REFEREE_EXE, "referee", "--save", file.c_str(), nullptr);
        std::_Exit(127);
    }
    rusage usage{};
    int status = 0;
    ASSERT_EQ(::wait4(pid, &status, 0, &usage), pid);
    EXPECT_EQ(WEXITSTATUS(status), 1);
    std::string screen(TextConsole::clear_sequence);
    for (int line = 1; line < play_window.lines; ++line) {
        screen += "\t\t\t\t\t\t Levizja nr  1, luan i vogli:>\n";
    }
    screen += "\t\t\t\t\t\t Levizja nr  1, luan i vogli:>";
    EXPECT_EQ(read_file(scratch.dir / "out"), screen);
    EXPECT_EQ(fs::file_size(file), 10'000'004U);
#ifndef REFEREE_SANITIZED
    EXPECT_LT(usage.ru_maxrss, 16 * 1024) << "peak memory in KiB";
#endif
}

// Each refusal: its message naming the file and the reason, status 2, the file as it was.
TEST(Program, SaveRefusesWhatCannotHoldARecord) {
    const Scratch scratch;
    const std::string folder = scratch.dir.string();
    const std::string quitting = "14\ne2e4d\n0\ne7e5d\n";
    { std::ofstream(scratch.dir / "quits", std::ios::binary) << quitting; }
    { std::ofstream(scratch.dir / "read-only") << "14\n"; }
    fs::permissions(scratch.dir / "read-only", fs::perms::owner_read);
    struct Case {
        std::string arguments;
        std::string errors;
    };
    std::vector<Case> cases{
        {"--save", "referee: option '--save' needs a file name\nTry 'referee --help'.\n"},
        {"-s '" + folder + "'", "referee: cannot open '" + folder + "': Is a directory\n"},
        {"--save='" + folder + "/none/game'",
            "referee: cannot open '" + folder + "/none/game': No such file or directory\n"},
        {"--save '" + folder + "/quits'",
            "referee: '" + folder
                + "/quits' is not a game record: its replay quits the game at byte 10 of 17; it "
                  "is left as it is\n"},
        {"--save /dev/full",
            "referee: cannot use '/dev/full': it is a device, not a regular file\n"},
        {"--save /dev/tty", "referee: cannot use '/dev/tty': it is a device, not a regular file\n"},
        {"--save '" + folder + "/fifo'",
            "referee: cannot use '" + folder + "/fifo': it is a pipe, not a regular file\n"},
    };
    ASSERT_EQ(::mkfifo((scratch.dir / "fifo").c_str(), 0600), 0);
    // Another program's files, left as they are: a typo in a file name damages nothing.
    const fs::path source = fs::path(REFEREE_GOLDEN_DIR).parent_path().parent_path();
    const std::string readme = read_file(source / "README.md");
    const std::string png = read_file(source / "docs/board.png");
    const std::string shopping = "milk\neggs\nbread\n";
    { std::ofstream(scratch.dir / "notes.md", std::ios::binary) << readme; }
    { std::ofstream(scratch.dir / "board.png", std::ios::binary) << png; }
    { std::ofstream(scratch.dir / "shopping", std::ios::binary) << shopping; }
    for (const char* name : {"notes.md", "shopping"}) {
        cases.push_back({"--save '" + folder + "/" + name + "'",
            "referee: '" + folder + "/" + name
                + "' is not a game record: its replay does not get past the start gate; it is "
                  "left as it is\n"});
    }
    cases.push_back({"--save '" + folder + "/board.png'",
        "referee: '" + folder + "/board.png' is not a game record: byte 9 of "
            + std::to_string(png.size()) + " is a NUL, so it is not text; it is left as it is\n"});
    if (::geteuid() != 0) { // root may write anything
        cases.push_back({"--save '" + folder + "/read-only'",
            "referee: cannot open '" + folder + "/read-only': Permission denied\n"});
    }
    for (const Case& refused : cases) {
        SCOPED_TRACE(refused.arguments);
        const ProgramRun program = run_program(scratch, refused.arguments, "14\ne2e4d\n0\n");
        EXPECT_EQ(program.status, 2);
        EXPECT_EQ(program.errors, refused.errors);
    }
    EXPECT_EQ(read_file(scratch.dir / "quits"), quitting);
    EXPECT_EQ(read_file(scratch.dir / "notes.md"), readme);
    EXPECT_EQ(read_file(scratch.dir / "board.png"), png);
    EXPECT_EQ(read_file(scratch.dir / "shopping"), shopping);
    EXPECT_EQ(read_file(scratch.dir / "read-only"), "14\n");
    EXPECT_FALSE(fs::exists(scratch.dir / "none"));

    // A record that is also a standard stream, or that would take the number of a closed one: a
    // refusal or the stream's own error, never a record that feeds on itself or takes the screen
    // in. A write that fails halfway leaves the record as its last whole save left it.
    std::string moves;
    for (int repeat = 0; repeat < 60; ++repeat) {
        moves += "g1f3d\ng8f6d\nf3g1d\nf6g8d\n";
    }
    { std::ofstream(scratch.dir / "moves", std::ios::binary) << moves; }
    // (A file size limit of 1 KiB makes the last write fail after its first bytes. The first line
    // of standard error is the program's; a coverage build may add its own after it.)
    struct Stream {
        std::string limit;
        std::string redirections;
        std::string errors;
    };
    const std::vector<Stream> streams{
        {"", "<record >/dev/null",
            "referee: cannot use 'record': it is also the program's standard input\n"},
        {"", "<&- >/dev/null", "referee: read error: Bad file descriptor\n"},
        {"", "</dev/null >&-", "referee: write error: Bad file descriptor\n"},
        {"ulimit -f 1; ", "<moves >/dev/null", "referee: cannot write 'record': File too large\n"},
    };
    for (const auto& [limit, redirections, errors] : streams) {
        SCOPED_TRACE(redirections);
        { std::ofstream(scratch.dir / "record", std::ios::binary) << "14\ne2e4d\n"; }
        const std::string command = "cd '" + folder + "' && (trap '' XFSZ; " + limit + "LC_ALL=C '"
            + REFEREE_EXE + "' --save record " + redirections + " 2>err; echo $? >status)";
        ASSERT_NE(std::system(command.c_str()), -1);
        EXPECT_EQ(read_file(scratch.dir / "status"), "2\n");
        const std::string reported = read_file(scratch.dir / "err");
        EXPECT_EQ(reported.substr(0, reported.find('\n') + 1), errors);
        EXPECT_EQ(read_file(scratch.dir / "record"), "14\ne2e4d\n");
    }

    // Standard input named as the file, and runs that end before their first save: a refusal
    // or the stream's own error (the status), and no file made. Nothing is saved before the gate.
    const std::string referee = "LC_ALL=C '" + std::string(REFEREE_EXE) + "' --save ";
    const std::vector<std::pair<std::string, std::string>> unmade{
        {"printf '14\\n' | " + referee + "/dev/stdin >/dev/null",
            "2 referee: cannot use '/dev/stdin': it is a pipe, not a regular file\n"},
        {referee + "new <&- >/dev/null", "2 referee: read error: Bad file descriptor\n"},
        {referee + "new </dev/null >&-", "2 referee: write error: Bad file descriptor\n"},
        {"printf '12\\nmilk\\n1' | " + referee + "new >/dev/null", "1 "},
        // (A 0 read into a request is explained on a terminal only.)
        {"printf '14\\n0\\n0\\n' | LC_ALL=C '" + std::string(REFEREE_EXE) + "' >/dev/null", "1 "},
    };
    for (const auto& [run_line, ending] : unmade) {
        SCOPED_TRACE(run_line);
        const std::string command
            = "cd '" + folder + "' && (" + run_line + " 2>err; echo $? >status)";
        ASSERT_NE(std::system(command.c_str()), -1);
        const std::string reported = read_file(scratch.dir / "err");
        EXPECT_EQ(read_file(scratch.dir / "status").substr(0, 1) + " "
                + reported.substr(0, reported.find('\n') + 1),
            ending);
        EXPECT_FALSE(fs::exists(scratch.dir / "new"));
    }

    // A file in use by a running referee: the second one touches nothing; the first goes on.
    const fs::path file = scratch.dir / "game";
    Player player(file);
    player.type("14\n");
    ASSERT_EQ(wait_for(file, "14\n"), "14\n");
    const ProgramRun second = run_program(scratch, "--save '" + file.string() + "'", "e2e4d\n");
    EXPECT_EQ(second.status, 2);
    EXPECT_EQ(second.errors, "referee: '" + file.string() + "' is in use by another referee\n");
    EXPECT_EQ(second.output, "");
    player.type("e2e4d\n");
    EXPECT_EQ(wait_for(file, "14\ne2e4d\n"), "14\ne2e4d\n");
    EXPECT_EQ(player.end(0), 1);
}
#endif

} // namespace
} // namespace referee::test
