#include "console/text_console.h"

#include <algorithm>
#include <cstdint>
#include <cstring>
#include <utility>

namespace referee {

namespace {

// Code page 437: the characters of bytes 0..31, 127 and 128..255 (bytes 32..126 are ASCII).
constexpr std::array<std::uint16_t, 32> low{0x0020, 0x263A, 0x263B, 0x2665, 0x2666, 0x2663, 0x2660,
    0x2022, 0x25D8, 0x25CB, 0x25D9, 0x2642, 0x2640, 0x266A, 0x266B, 0x263C, 0x25BA, 0x25C4, 0x2195,
    0x203C, 0x00B6, 0x00A7, 0x25AC, 0x21A8, 0x2191, 0x2193, 0x2192, 0x2190, 0x221F, 0x2194, 0x25B2,
    0x25BC};
constexpr std::uint16_t delete_glyph = 0x2302;
constexpr std::array<std::uint16_t, 128> high{0x00C7, 0x00FC, 0x00E9, 0x00E2, 0x00E4, 0x00E0,
    0x00E5, 0x00E7, 0x00EA, 0x00EB, 0x00E8, 0x00EF, 0x00EE, 0x00EC, 0x00C4, 0x00C5, 0x00C9, 0x00E6,
    0x00C6, 0x00F4, 0x00F6, 0x00F2, 0x00FB, 0x00F9, 0x00FF, 0x00D6, 0x00DC, 0x00A2, 0x00A3, 0x00A5,
    0x20A7, 0x0192, 0x00E1, 0x00ED, 0x00F3, 0x00FA, 0x00F1, 0x00D1, 0x00AA, 0x00BA, 0x00BF, 0x2310,
    0x00AC, 0x00BD, 0x00BC, 0x00A1, 0x00AB, 0x00BB, 0x2591, 0x2592, 0x2593, 0x2502, 0x2524, 0x2561,
    0x2562, 0x2556, 0x2555, 0x2563, 0x2551, 0x2557, 0x255D, 0x255C, 0x255B, 0x2510, 0x2514, 0x2534,
    0x252C, 0x251C, 0x2500, 0x253C, 0x255E, 0x255F, 0x255A, 0x2554, 0x2569, 0x2566, 0x2560, 0x2550,
    0x256C, 0x2567, 0x2568, 0x2564, 0x2565, 0x2559, 0x2558, 0x2552, 0x2553, 0x256B, 0x256A, 0x2518,
    0x250C, 0x2588, 0x2584, 0x258C, 0x2590, 0x2580, 0x03B1, 0x00DF, 0x0393, 0x03C0, 0x03A3, 0x03C3,
    0x00B5, 0x03C4, 0x03A6, 0x0398, 0x03A9, 0x03B4, 0x221E, 0x03C6, 0x03B5, 0x2229, 0x2261, 0x00B1,
    0x2265, 0x2264, 0x2320, 0x2321, 0x00F7, 0x2248, 0x00B0, 0x2219, 0x00B7, 0x221A, 0x207F, 0x00B2,
    0x25A0, 0x00A0};

std::uint16_t cp437(std::size_t byte) {
    if (byte < low.size()) {
        return low[byte];
    }
    if (byte == 127) {
        return delete_glyph;
    }
    if (byte >= 128) {
        return high[byte - 128];
    }
    return static_cast<std::uint16_t>(byte);
}

std::string utf8(std::uint16_t point) {
    std::string out;
    if (point < 0x80) {
        out += static_cast<char>(point);
    } else if (point < 0x800) {
        out += static_cast<char>(0xC0 | (point >> 6));
        out += static_cast<char>(0x80 | (point & 0x3F));
    } else {
        out += static_cast<char>(0xE0 | (point >> 12));
        out += static_cast<char>(0x80 | ((point >> 6) & 0x3F));
        out += static_cast<char>(0x80 | (point & 0x3F));
    }
    return out;
}

} // namespace

TextConsole::TextConsole(GlyphMode mode)
    : mode_(mode) {
    for (std::size_t byte = 0; byte < utf8_.size(); ++byte) {
        const bool control = byte == '\t' || byte == '\n' || byte == 0x1b;
        const std::string encoded
            = control ? std::string(1, static_cast<char>(byte)) : utf8(cp437(byte));
        std::array<char, sizeof(Utf8)> bytes{};
        std::copy(encoded.begin(), encoded.end(), bytes.begin());
        bytes.back() = static_cast<char>(encoded.size());
        std::memcpy(&utf8_[byte], bytes.data(), bytes.size());
    }
}

void TextConsole::reserve(std::size_t capacity) {
    if (capacity > capacity_) {
        // Bytes that are written before they are read, so left uninitialised (as
        // make_unique_for_overwrite would, which libc++ 14 lacks).
        // NOLINTNEXTLINE(modernize-avoid-c-arrays,modernize-make-unique)
        std::unique_ptr<char[]> bigger(new char[capacity]);
        if (size_ > 0) {
            std::memcpy(bigger.get(), buffer_.get(), size_);
        }
        buffer_ = std::move(bigger);
        capacity_ = capacity;
    }
}

char* TextConsole::make_room(std::size_t extra) {
    if (size_ + extra > capacity_) {
        reserve(std::max({2 * capacity_, size_ + extra, std::size_t{4096}}));
    }
    return buffer_.get() + size_;
}

void TextConsole::clear_screen() {
    write(clear_sequence); // escape and the ASCII that follows it pass through in every mode
}

void TextConsole::write(std::string_view text) {
    if (text.empty()) {
        return;
    }
    char* const start = make_room(encoded_size_bound(text.size()));
    size_ += static_cast<std::size_t>(encode_into(start, text) - start);
}

std::size_t TextConsole::encoded_size_bound(std::size_t size) const {
    return mode_ == GlyphMode::raw ? size : size * utf8_max + 1;
}

char* TextConsole::encode_into(char* out, std::string_view text) const {
    if (mode_ == GlyphMode::raw) {
        if (!text.empty()) {
            std::memcpy(out, text.data(), text.size());
        }
        return out + text.size();
    }
    for (const char byte : text) {
        const Utf8 encoded = utf8_[static_cast<unsigned char>(byte)];
        std::memcpy(out, &encoded, sizeof encoded);
        out += (encoded >> utf8_length_shift) & 0xFFU;
    }
    return out;
}

char* TextConsole::encoded_room(std::size_t size) {
    return make_room(size);
}

void TextConsole::finish_encoded(const char* end) {
    size_ = static_cast<std::size_t>(end - buffer_.get());
}

} // namespace referee
