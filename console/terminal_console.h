// The console on the process's standard input and output. Output is buffered and written in
// large pieces; it is flushed before every read of standard input and when the console closes.
// The first write that fails ends the process with a report on standard error (fail_output).
#pragma once

#include "console/text_console.h"

#include <array>

namespace referee {

class TerminalConsole : public TextConsole {
public:
    explicit TerminalConsole(GlyphMode mode);
    ~TerminalConsole() override;
    TerminalConsole(const TerminalConsole&) = delete;
    TerminalConsole& operator=(const TerminalConsole&) = delete;

    void write(std::string_view text) override;
    void finish_encoded(const char* end) override;
    int peek_byte() override;
    void take_byte() override { ++next_; }

    void flush();

    // UTF-8 glyphs when the user's locale uses UTF-8, raw code page 437 bytes otherwise.
    static GlyphMode mode_from_locale();

private:
    void flush_if_large();

    std::array<char, 1 << 16> input_{};
    std::size_t next_ = 0;
    std::size_t filled_ = 0;
    bool input_ended_ = false;
};

} // namespace referee
