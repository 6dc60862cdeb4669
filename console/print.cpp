#include "console/console.h"

#include <array>
#include <charconv>
#include <string>

namespace referee {

namespace {

void write_number(Console& console, int value, std::size_t width) {
    std::array<char, 16> digits{};
    const auto result = std::to_chars(digits.data(), digits.data() + digits.size(), value);
    const auto length = static_cast<std::size_t>(result.ptr - digits.data());
    if (length < width) {
        console.write_text(std::string(width - length, ' '));
    }
    console.write_text(std::string_view(digits.data(), length));
}

} // namespace

void print(Console& console, std::string_view format, std::span<const int> args) {
    auto arg = args.begin();
    std::size_t plain_start = 0;
    std::size_t at = 0;
    const auto flush_plain = [&] {
        if (at > plain_start) {
            console.write_text(format.substr(plain_start, at - plain_start));
        }
    };
    while (at < format.size()) {
        if (format[at] != '%' || arg == args.end()) {
            ++at;
            continue;
        }
        const std::string_view rest = format.substr(at);
        if (rest.starts_with("%c")) {
            flush_plain();
            const char glyph = static_cast<char>(static_cast<unsigned char>(*arg++));
            console.write_glyphs(std::string_view(&glyph, 1));
            at += 2;
        } else if (rest.starts_with("%d")) {
            flush_plain();
            write_number(console, *arg++, 0);
            at += 2;
        } else if (rest.starts_with("%2d")) {
            flush_plain();
            write_number(console, *arg++, 2);
            at += 3;
        } else {
            ++at;
            continue;
        }
        plain_start = at;
    }
    flush_plain();
}

} // namespace referee
