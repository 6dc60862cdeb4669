#include "console/quit_notice.h"

#include "console/process.h"

namespace referee {

int QuitNotice::peek_byte() {
    if (zero_line_taken_) {
        zero_line_taken_ = false; // the game asks for more, so that 0 did not quit it
        if (drawn_) {
            real_.flush();
            write_error_output(notice);
        }
    }
    peeked_ = real_.peek_byte();
    return peeked_;
}

void QuitNotice::take_byte() {
    real_.take_byte();
    if (peeked_ == '\n') {
        zero_line_taken_ = line_ == Line::zero;
        line_ = Line::empty;
    } else {
        line_ = line_ == Line::empty && peeked_ == '0' ? Line::zero : Line::other;
    }
}

} // namespace referee
