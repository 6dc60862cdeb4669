#include "console/scan.h"

#include <climits>
#include <cstdint>

namespace referee {

namespace {

bool is_space(int byte) {
    return byte == ' ' || byte == '\t' || byte == '\n' || byte == '\v' || byte == '\f'
        || byte == '\r';
}

bool is_digit(int byte) {
    return byte >= '0' && byte <= '9';
}

} // namespace

Scan scan_char(Console& console, char& field) {
    const int byte = console.peek_byte();
    if (byte == Console::end_of_input) {
        return Scan::end_of_input;
    }
    console.take_byte();
    field = static_cast<char>(static_cast<unsigned char>(byte));
    return Scan::assigned;
}

Scan scan_int(Console& console, int& field) {
    int byte = console.peek_byte();
    while (is_space(byte)) {
        console.take_byte();
        byte = console.peek_byte();
    }
    bool negative = false;
    if (byte == '+' || byte == '-') {
        negative = byte == '-';
        console.take_byte();
        byte = console.peek_byte();
    }
    if (byte == Console::end_of_input) {
        return Scan::end_of_input;
    }
    if (!is_digit(byte)) {
        return Scan::mismatch;
    }
    // Accumulate the magnitude with room for INT_MIN, saturating once past it.
    constexpr std::int64_t limit = static_cast<std::int64_t>(INT_MAX) + 1;
    std::int64_t magnitude = 0;
    while (is_digit(byte)) {
        magnitude = magnitude * 10 + (byte - '0');
        if (magnitude > limit) {
            magnitude = limit;
        }
        console.take_byte();
        byte = console.peek_byte();
    }
    const std::int64_t value = negative ? -magnitude : magnitude;
    field = value > INT_MAX ? INT_MAX : static_cast<int>(value);
    return Scan::assigned;
}

void discard_line(Console& console) {
    for (int byte = console.peek_byte(); byte != Console::end_of_input;
         byte = console.peek_byte()) {
        console.take_byte();
        if (byte == '\n') {
            return;
        }
    }
}

} // namespace referee
