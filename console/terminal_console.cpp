#include "console/terminal_console.h"

#include "console/process.h"

#include <cerrno>
#include <clocale>
#include <cstring>
#include <langinfo.h>
#include <sys/ioctl.h>
#include <unistd.h>

namespace referee {

namespace {

// Writes all of text on a file descriptor, again after an interruption. Returns 0, or the errno
// value of the first failure.
int write_all(int descriptor, std::string_view text) {
    std::size_t written = 0;
    while (written < text.size()) {
        const ssize_t count = ::write(descriptor, text.data() + written, text.size() - written);
        if (count < 0 && errno == EINTR) {
            continue;
        }
        if (count < 0) {
            return errno;
        }
        if (count == 0) {
            return EIO; // no progress and no reason given
        }
        written += static_cast<std::size_t>(count);
    }
    return 0;
}

} // namespace

std::optional<WindowSize> output_window_size() {
    winsize size{};
    if (::isatty(STDOUT_FILENO) == 0 || ::ioctl(STDOUT_FILENO, TIOCGWINSZ, &size) != 0
        || size.ws_col == 0 || size.ws_row == 0) {
        return std::nullopt;
    }
    return WindowSize{size.ws_col, size.ws_row};
}

void write_error_output(std::string_view text) {
    static_cast<void>(write_all(STDERR_FILENO, text));
}

TerminalConsole::TerminalConsole(GlyphMode mode)
    : TextConsole(mode) {
    reserve(2 * flush_threshold);
}

TerminalConsole::~TerminalConsole() {
    flush();
}

GlyphMode TerminalConsole::mode_from_locale() {
    if (std::setlocale(LC_CTYPE, "") == nullptr) {
        return GlyphMode::raw;
    }
    const char* codeset = nl_langinfo(CODESET);
    const bool utf8 = codeset != nullptr
        && (std::strcmp(codeset, "UTF-8") == 0 || std::strcmp(codeset, "utf8") == 0);
    return utf8 ? GlyphMode::utf8 : GlyphMode::raw;
}

void TerminalConsole::flush() {
    const int error = write_all(STDOUT_FILENO, pending());
    if (error != 0) {
        fail_output(error);
    }
    clear_pending();
}

int TerminalConsole::peek_byte() {
    if (next_ < filled_) {
        return static_cast<unsigned char>(input_[next_]);
    }
    if (input_ended_) {
        return end_of_input;
    }
    flush(); // the user must see everything before the program waits
    for (;;) {
        const ssize_t count = ::read(STDIN_FILENO, input_.data(), input_.size());
        if (count < 0 && errno == EINTR) {
            continue;
        }
        if (count <= 0) {
            input_ended_ = true;
            return end_of_input;
        }
        next_ = 0;
        filled_ = static_cast<std::size_t>(count);
        return static_cast<unsigned char>(input_[next_]);
    }
}

} // namespace referee
