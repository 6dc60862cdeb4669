// The console on the process's standard input and output. Output is buffered and written in
// large pieces; it is flushed before every read of standard input and when the console closes.
// The first write that fails ends the process with a report on standard error (fail_output), and
// so does a read that fails (fail_input). The platform's part is its home (terminal_home.h).
#pragma once

#include "console/process.h"
#include "console/text_console.h"

#include <array>

namespace referee {

class TerminalConsole : public TextConsole {
public:
    explicit TerminalConsole(GlyphMode mode);
    ~TerminalConsole() override;
    TerminalConsole(const TerminalConsole&) = delete;
    TerminalConsole& operator=(const TerminalConsole&) = delete;

    void write(std::string_view text) override {
        TextConsole::write(text);
        flush_if_large();
    }
    void finish_encoded(const char* end) override {
        TextConsole::finish_encoded(end);
        flush_if_large();
    }
    int peek_byte() override;
    void take_byte() override { ++next_; }
    [[nodiscard]] bool input_at_hand() const override { return next_ < filled_ || input_ended_; }

    void flush();
    // Writes what is pending at the end of a run. After the end of input on a terminal (Ctrl-D,
    // Ctrl+Z), a line feed first, so that the shell's prompt starts on a line of its own.
    void finish_run();

    // The glyph encoding that the locale and standard output call for (choose_glyph_mode).
    static GlyphMode mode_from_locale();

private:
    // Above this much pending output the buffer is written out even without a read.
    static constexpr std::size_t flush_threshold = 1 << 16;

    void flush_if_large() {
        if (pending().size() >= flush_threshold) {
            flush();
        }
    }

    std::array<char, 1 << 16> input_{};
    std::size_t next_ = 0;
    std::size_t filled_ = 0;
    bool input_ended_ = false;
};

} // namespace referee
