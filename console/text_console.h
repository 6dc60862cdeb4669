// Output side shared by the consoles: everything goes into one buffer, the glyph bytes either as
// they are or as the UTF-8 encoding of their code page 437 character.
#pragma once

#include "console/console.h"

#include <array>
#include <bit>
#include <cstdint>
#include <memory>
#include <string>
#include <string_view>

namespace referee {

enum class GlyphMode {
    raw, // each cell code written as one byte, for consoles that show code page 437
    utf8, // each cell code written as its code page 437 character in UTF-8
};

class TextConsole : public Console {
public:
    explicit TextConsole(GlyphMode mode);

    void clear_screen() override;
    void write(std::string_view text) override;
    [[nodiscard]] std::size_t encoded_size_bound(std::size_t size) const override;
    char* encode_into(char* out, std::string_view text) const override;
    char* encoded_room(std::size_t size) override;
    void finish_encoded(const char* end) override;

    // The bytes that "\x1b[H\x1b[2J" writes: cursor home, then clear the window.
    static constexpr std::string_view clear_sequence = "\x1b[H\x1b[2J";

protected:
    // What has been written and not yet taken away.
    [[nodiscard]] std::string_view pending() const { return {buffer_.get(), size_}; }
    void clear_pending() { size_ = 0; }
    void reserve(std::size_t capacity);

private:
    // A byte's UTF-8 encoding packed in one word whose four bytes, in memory order, are up to
    // three bytes of the encoding and then their number. The word is copied whole, then the end
    // moves by the number; so an encoding needs one spare byte after its end. The number's place
    // in the word's value depends on the byte order.
    using Utf8 = std::uint32_t;
    static constexpr std::size_t utf8_max = 3;
    static constexpr unsigned utf8_length_shift = std::endian::native == std::endian::big ? 0 : 24;

    // Room for `extra` more bytes; returns where they go.
    char* make_room(std::size_t extra);

    GlyphMode mode_;
    std::array<Utf8, 256> utf8_{};
    // The output buffer, grown by doubling and never cleared byte by byte.
    std::unique_ptr<char[]> buffer_; // NOLINT(modernize-avoid-c-arrays): uninitialised bytes
    std::size_t size_ = 0;
    std::size_t capacity_ = 0;
};

} // namespace referee
