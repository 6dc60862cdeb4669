// Formatted reads in the manner of scanf's "%c" and "%d", on top of the console's input bytes.
#pragma once

#include "console/console.h"

namespace referee {

enum class Scan {
    assigned, // the field received a value
    mismatch, // the next byte does not fit; it stays unread and the field keeps its value
    end_of_input, // input ended before the field could be assigned
};

// "%c": takes the next byte, whatever it is.
Scan scan_char(Console& console, char& field);

// "%d": skips white space, takes an optional sign and then digits. A sign without a digit after
// it is taken and the read fails at the byte after it. Values beyond the 32-bit range saturate.
Scan scan_int(Console& console, int& field);

// Takes the rest of the current line, up to and including its line feed or up to end of input.
void discard_line(Console& console);

} // namespace referee
