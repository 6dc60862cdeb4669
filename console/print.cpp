#include "console/console.h"

#include <array>
#include <charconv>
#include <cstring>

namespace referee {

namespace {

char* put_number(char* out, int value, std::size_t width) {
    std::array<char, 16> digits{};
    const auto result = std::to_chars(digits.data(), digits.data() + digits.size(), value);
    const auto length = static_cast<std::size_t>(result.ptr - digits.data());
    for (std::size_t pad = length; pad < width; ++pad) {
        *out++ = ' ';
    }
    std::memcpy(out, digits.data(), length);
    return out + length;
}

} // namespace

char* format_into(char* out, std::string_view format, std::span<const int> args) {
    auto arg = args.begin();
    std::size_t at = 0;
    while (at < format.size()) {
        const std::size_t percent
            = arg == args.end() ? std::string_view::npos : format.find('%', at);
        const std::size_t plain_end = percent == std::string_view::npos ? format.size() : percent;
        std::memcpy(out, format.data() + at, plain_end - at);
        out += plain_end - at;
        if (percent == std::string_view::npos) {
            break;
        }
        const std::string_view rest = format.substr(percent);
        if (rest.starts_with("%c")) {
            *out++ = static_cast<char>(static_cast<unsigned char>(*arg++));
            at = percent + 2;
        } else if (rest.starts_with("%d")) {
            out = put_number(out, *arg++, 0);
            at = percent + 2;
        } else if (rest.starts_with("%2d")) {
            out = put_number(out, *arg++, 2);
            at = percent + 3;
        } else {
            *out++ = '%';
            at = percent + 1;
        }
    }
    return out;
}

void print(Console& console, std::string_view format, std::span<const int> args) {
    if (args.empty()) {
        console.write(format);
        return;
    }
    std::string out(formatted_size_bound(format, args.size()), '\0');
    out.resize(static_cast<std::size_t>(format_into(out.data(), format, args) - out.data()));
    console.write(out);
}

} // namespace referee
