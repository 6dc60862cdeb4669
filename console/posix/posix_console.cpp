// The terminal console's home on POSIX systems: standard input and output as they are, the
// terminal left as it is.
#include "console/glyph_choice.h"
#include "console/process.h"
#include "console/terminal_home.h"

#include <cerrno>
#include <clocale>
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

bool output_is_terminal() {
    return ::isatty(STDOUT_FILENO) != 0;
}

bool input_is_terminal() {
    return ::isatty(STDIN_FILENO) != 0;
}

void write_error_output(std::string_view text) {
    static_cast<void>(write_all(STDERR_FILENO, text));
}

namespace terminal_home {

void set_up(GlyphMode /*mode*/) { }

void put_back() { }

int write_out(std::string_view bytes) {
    return write_all(STDOUT_FILENO, bytes);
}

Read read_in(char* into, std::size_t room) {
    for (;;) {
        const ssize_t count = ::read(STDIN_FILENO, into, room);
        if (count < 0 && errno == EINTR) {
            continue;
        }
        if (count < 0) {
            return Read{.error = errno};
        }
        return Read{.count = static_cast<std::size_t>(count), .ended = count == 0};
    }
}

GlyphMode glyph_mode_from_locale() {
    LocaleFacts facts;
    facts.name = locale_name_from_environment();
    facts.locale_set = std::setlocale(LC_CTYPE, "") != nullptr;
    const char* codeset = nl_langinfo(CODESET);
    facts.codeset = codeset != nullptr ? codeset : "";
    facts.output_is_terminal = output_is_terminal();
    return choose_glyph_mode(facts);
}

} // namespace terminal_home

} // namespace referee
