// The terminal console on a scripted home: what it writes, and when, around the reads. The home's
// calls are logged in order, so a flush that comes late, a read after the end of input or a line
// feed written twice shows in the log.
#include "console/process.h"
#include "console/terminal_console.h"
#include "console/terminal_home.h"

#include <gtest/gtest.h>

#include <deque>
#include <string>
#include <vector>

namespace referee {
namespace {

struct ScriptedHome {
    std::deque<std::string> reads; // what each read returns; once they are used up, the end
    bool reads_end_with_last = false; // the last read's bytes come with the end of input
    bool terminal = false;
    std::vector<std::string> log;
};

ScriptedHome& home() {
    static ScriptedHome scripted;
    return scripted;
}

} // namespace

std::optional<WindowSize> output_window_size() {
    return std::nullopt;
}

bool output_is_terminal() {
    return home().terminal;
}

void write_error_output(std::string_view text) {
    home().log.push_back("error " + std::string(text));
}

namespace terminal_home {

void set_up(GlyphMode mode) {
    home().log.emplace_back(mode == GlyphMode::utf8 ? "set up utf8" : "set up raw");
}

void put_back() {
    home().log.emplace_back("put back");
}

int write_out(std::string_view bytes) {
    if (!bytes.empty()) {
        home().log.push_back(bytes.size() > 16 ? "write " + std::to_string(bytes.size()) + " bytes"
                                               : "write " + std::string(bytes));
    }
    return 0;
}

Read read_in(char* into, std::size_t room) {
    ScriptedHome& scripted = home();
    scripted.log.emplace_back("read");
    if (scripted.reads.empty()) {
        return Read{.ended = true};
    }
    const std::string bytes = scripted.reads.front().substr(0, room);
    scripted.reads.pop_front();
    bytes.copy(into, bytes.size());
    return Read{
        .count = bytes.size(), .ended = scripted.reads_end_with_last && scripted.reads.empty()};
}

GlyphMode glyph_mode_from_locale() {
    return GlyphMode::utf8;
}

} // namespace terminal_home

namespace {

using Log = std::vector<std::string>;

// Runs `use` on a new console over a home that returns `reads`, and returns the home's log.
template <typename Use> Log run(std::deque<std::string> reads, bool terminal, Use use) {
    home() = ScriptedHome{std::move(reads), false, terminal, {}};
    {
        TerminalConsole console(GlyphMode::raw);
        use(console);
    }
    return home().log;
}

std::string take_all(TerminalConsole& console) {
    std::string taken;
    while (console.peek_byte() != Console::end_of_input) {
        taken += static_cast<char>(console.peek_byte());
        console.take_byte();
    }
    return taken;
}

TEST(TerminalConsole, OutputWaitsForTheNextReadAndTheEndOfInputIsReadOnce) {
    std::string taken;
    const Log log = run({"ab", "c"}, false, [&](TerminalConsole& console) {
        console.write("prompt");
        EXPECT_FALSE(console.input_at_hand());
        EXPECT_EQ(console.peek_byte(), 'a');
        EXPECT_TRUE(console.input_at_hand());
        console.take_byte();
        console.write("echo");
        EXPECT_EQ(console.peek_byte(), 'b'); // still at hand: no flush, no read
        taken = take_all(console);
        EXPECT_EQ(console.peek_byte(), Console::end_of_input);
        console.write("bye");
        console.finish_run();
    });
    EXPECT_EQ(taken, "bc");
    EXPECT_EQ(log,
        (Log{"set up raw", "write prompt", "read", "write echo", "read", "read", "write bye",
            "put back"}));
}

TEST(TerminalConsole, ALineFeedEndsTheRunOnlyAfterTheEndOfInputOnATerminal) {
    const auto finish = [](TerminalConsole& console) {
        take_all(console);
        console.write("0");
        console.finish_run();
    };
    EXPECT_EQ(
        run({"x"}, true, finish), (Log{"set up raw", "read", "read", "write 0\n", "put back"}));
    EXPECT_EQ(
        run({"x"}, false, finish), (Log{"set up raw", "read", "read", "write 0", "put back"}));

    // Input that has not ended (the game quit with '0') gets no line feed.
    const Log quit = run({"0\n"}, true, [](TerminalConsole& console) {
        console.peek_byte();
        console.finish_run();
    });
    EXPECT_EQ(quit, (Log{"set up raw", "read", "put back"}));

    // The bytes that come with the end of input are read, and nothing after them.
    home() = ScriptedHome{{"ab"}, true, false, {}};
    {
        TerminalConsole console(TerminalConsole::mode_from_locale());
        EXPECT_EQ(take_all(console), "ab");
    }
    EXPECT_EQ(home().log, (Log{"set up utf8", "read", "put back"}));
}

TEST(TerminalConsole, LargeOutputIsWrittenWithoutWaitingForARead) {
    const Log log = run({}, false, [](TerminalConsole& console) {
        const std::string line(1000, 'x');
        for (int i = 0; i < 70; ++i) {
            console.write(line);
        }
    });
    EXPECT_EQ(log, (Log{"set up raw", "write 66000 bytes", "write 4000 bytes", "put back"}));
}

} // namespace
} // namespace referee
