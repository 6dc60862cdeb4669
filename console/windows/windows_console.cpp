// The terminal console's home on Windows: the C runtime's standard input and output in binary
// mode, with the console set up for code page 437 for the run.
#include "console/process.h"
#include "console/terminal_home.h"
#include "console/windows/windows_plan.h"

#include <algorithm>
#include <atomic>
#include <cerrno>
#include <cstdlib>
#include <fcntl.h>
#include <io.h>
#include <windows.h>

namespace referee {

namespace {

static_assert(windows::virtual_terminal_processing == ENABLE_VIRTUAL_TERMINAL_PROCESSING);
static_assert(ERROR_BROKEN_PIPE == 109 && ERROR_NO_DATA == 232);

constexpr int input_fd = 0;
constexpr int output_fd = 1;
constexpr int error_fd = 2;

// What this process changed on its console. It is put back once, by whichever exit comes first:
// the console's end ('0' or the end of input), the C runtime's exit (a return from main or a call
// of exit), a failed write just before its report ends the process, or a Ctrl+C, Ctrl+Break or
// closed window, after which the process ends without running any of the others.
struct ConsoleRestore {
    std::atomic<bool> pending{false};
    HANDLE output = INVALID_HANDLE_VALUE;
    windows::ConsolePlan plan;

    void put_back() {
        if (!pending.exchange(false)) {
            return;
        }
        if (plan.code_page) {
            SetConsoleOutputCP(plan.restore_code_page);
        }
        if (plan.output_mode) {
            SetConsoleMode(output, plan.restore_output_mode);
        }
    }
};

// One process has one console, and the exit hooks reach it only through this.
ConsoleRestore& restore() {
    static ConsoleRestore state;
    return state;
}

void put_back_at_exit() {
    restore().put_back();
}

BOOL WINAPI put_back_on_signal(DWORD /*event*/) {
    restore().put_back();
    return FALSE; // the default handler ends the process as usual
}

struct Platform {
    windows::ClearBy clear_method = windows::ClearBy::escape_sequence;
    bool console_line_ends = false;
    windows::ConsoleLineEnds line_ends;
    // One console read before its line ends are translated into the console's input buffer.
    std::array<char, 1 << 12> typed{};
};

Platform& platform() {
    static Platform state;
    return state;
}

// Reads the handles, makes the changes the plan asks for and arranges for them to be put back.
void start_console(GlyphMode glyphs) {
    _setmode(input_fd, _O_BINARY);
    _setmode(output_fd, _O_BINARY);
    const HANDLE output = GetStdHandle(STD_OUTPUT_HANDLE);
    windows::Handles handles;
    DWORD mode = 0;
    handles.output_is_console = GetConsoleMode(output, &mode) != 0;
    if (handles.output_is_console) {
        handles.output_mode = mode;
        handles.output_code_page = GetConsoleOutputCP();
    }
    DWORD input_mode = 0;
    handles.input_is_console = GetConsoleMode(GetStdHandle(STD_INPUT_HANDLE), &input_mode) != 0;

    ConsoleRestore& saved = restore();
    saved.output = output;
    saved.plan = windows::plan_console(handles, glyphs);
    windows::ConsolePlan& plan = saved.plan;
    // What could not be changed is not put back.
    if (plan.code_page && SetConsoleOutputCP(*plan.code_page) == 0) {
        plan.code_page.reset();
    }
    bool escape_sequences_on = (mode & ENABLE_VIRTUAL_TERMINAL_PROCESSING) != 0;
    if (plan.output_mode) {
        escape_sequences_on = SetConsoleMode(output, *plan.output_mode) != 0;
        if (!escape_sequences_on) {
            plan.output_mode.reset();
        }
    }
    if (plan.code_page || plan.output_mode) {
        saved.pending = true;
        std::atexit(put_back_at_exit);
        SetConsoleCtrlHandler(put_back_on_signal, TRUE);
    }
    platform().clear_method = windows::clear_by(handles.output_is_console, escape_sequences_on);
    platform().console_line_ends = plan.console_line_ends;
}

// Blanks the whole screen buffer and puts the cursor in its top-left corner, as the escape
// sequence does on a console that understands it.
void clear_through_console_api() {
    const HANDLE output = GetStdHandle(STD_OUTPUT_HANDLE);
    CONSOLE_SCREEN_BUFFER_INFO info;
    if (GetConsoleScreenBufferInfo(output, &info) == 0) {
        return;
    }
    const auto cells = static_cast<DWORD>(info.dwSize.X) * static_cast<DWORD>(info.dwSize.Y);
    const COORD home{0, 0};
    DWORD done = 0;
    FillConsoleOutputCharacterA(output, ' ', cells, home, &done);
    FillConsoleOutputAttribute(output, info.wAttributes, cells, home, &done);
    SetConsoleCursorPosition(output, home);
}

// Writes all of text on a C runtime descriptor. Returns 0, or the errno value of the first
// failure.
int write_all(int descriptor, std::string_view text) {
    std::size_t written = 0;
    while (written < text.size()) {
        const auto chunk
            = static_cast<unsigned>(std::min<std::size_t>(text.size() - written, 1U << 30));
        const int count = _write(descriptor, text.data() + written, chunk);
        if (count < 0 && errno == EINTR) {
            continue;
        }
        if (count < 0) {
            return windows::write_error_number(errno, _doserrno);
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
    CONSOLE_SCREEN_BUFFER_INFO info;
    if (GetConsoleScreenBufferInfo(GetStdHandle(STD_OUTPUT_HANDLE), &info) == 0) {
        return std::nullopt; // not a console
    }
    return WindowSize{
        info.srWindow.Right - info.srWindow.Left + 1, info.srWindow.Bottom - info.srWindow.Top + 1};
}

bool output_is_terminal() {
    DWORD mode = 0;
    return GetConsoleMode(GetStdHandle(STD_OUTPUT_HANDLE), &mode) != 0;
}

bool input_is_terminal() {
    DWORD mode = 0;
    return GetConsoleMode(GetStdHandle(STD_INPUT_HANDLE), &mode) != 0;
}

void write_error_output(std::string_view text) {
    _setmode(error_fd, _O_BINARY); // the same bytes as on POSIX, no CR before LF
    static_cast<void>(write_all(error_fd, text));
}

namespace terminal_home {

void set_up(GlyphMode mode) {
    start_console(mode);
}

void put_back() {
    restore().put_back();
}

int write_out(std::string_view bytes) {
    while (!bytes.empty()) {
        const windows::Piece piece = windows::next_piece(bytes, platform().clear_method);
        if (piece.clear) {
            clear_through_console_api();
        } else if (const int error = write_all(output_fd, bytes.substr(0, piece.length))) {
            return error;
        }
        bytes.remove_prefix(piece.length);
    }
    return 0;
}

Read read_in(char* into, std::size_t room) {
    Platform& state = platform();
    for (;;) {
        // Typed lines are read apart and translated into `into`, which has room for one more
        // byte than was read (a CR held from the read before).
        char* const read_into = state.console_line_ends ? state.typed.data() : into;
        const std::size_t read_room
            = state.console_line_ends ? std::min(state.typed.size(), room - 1) : room;
        const int count = _read(input_fd, read_into, static_cast<unsigned>(read_room));
        if (count < 0 && errno == EINTR) {
            continue;
        }
        if (count < 0) {
            return Read{.error = errno};
        }
        if (count == 0) {
            return Read{
                .count = state.console_line_ends ? state.line_ends.finish(into) : 0, .ended = true};
        }
        if (!state.console_line_ends) {
            return Read{.count = static_cast<std::size_t>(count)};
        }
        const auto typed = state.line_ends.translate(
            std::string_view(state.typed.data(), static_cast<std::size_t>(count)), into);
        if (typed.count > 0 || typed.ended) {
            return Read{.count = typed.count, .ended = typed.ended};
        }
        // A lone CR held for the next read.
    }
}

GlyphMode glyph_mode_from_locale() {
    // A console shows the raw bytes in code page 437 once it is switched; pipes and files get
    // the bytes a POSIX build writes in the C locale. --glyphs=utf-8 chooses UTF-8 instead.
    return GlyphMode::raw;
}

} // namespace terminal_home

} // namespace referee
