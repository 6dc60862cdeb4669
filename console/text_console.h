// Output side shared by the consoles: everything goes into one buffer, glyphs either as raw
// bytes or as the UTF-8 encoding of their code page 437 character.
#pragma once

#include "console/console.h"

#include <array>
#include <string>

namespace referee {

enum class GlyphMode {
    raw, // each cell code written as one byte, for consoles that show code page 437
    utf8, // each cell code written as its code page 437 character in UTF-8
};

class TextConsole : public Console {
public:
    explicit TextConsole(GlyphMode mode);

    void clear_screen() override;
    void write_text(std::string_view text) override;
    void write_glyphs(std::string_view codes) override;

    // The bytes that "\x1b[H\x1b[2J" writes: cursor home, then clear the window.
    static constexpr std::string_view clear_sequence = "\x1b[H\x1b[2J";

protected:
    std::string output_;

private:
    GlyphMode mode_;
    std::array<std::string, 256> utf8_{};
};

} // namespace referee
