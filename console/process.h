// What the program needs of its process besides the console: the size of the window that shows
// standard output, a line on standard error, and the end of the run when input cannot be read or
// output cannot be written.
#pragma once

#include <optional>
#include <string>
#include <string_view>

namespace referee {

struct WindowSize {
    int columns = 0;
    int lines = 0;
};

// The size of the terminal window on standard output; nothing when standard output is not a
// terminal or the terminal does not tell its size.
std::optional<WindowSize> output_window_size();

// Whether standard output is a terminal (a console on Windows).
bool output_is_terminal();

// Whether standard input is a terminal (a console on Windows), where a person types.
bool input_is_terminal();

// Writes text on standard error as it stands. A failure there is ignored: nothing is left to
// report it on.
void write_error_output(std::string_view text);

// Reports that standard output could not be written, with the system's reason for `error_number`
// (an errno value), on standard error, and ends the process at once with status 2.
[[noreturn]] void fail_output(int error_number);

// The same for standard input that cannot be read (closed, a directory, a device error): "read
// error" and the reason, status 2. The end of input is no error.
[[noreturn]] void fail_input(int error_number);

// Reports a failure of the run that is not one of standard input or output (a complete message
// with its line end) on standard error and ends the process with status 2, through exit(): the
// hooks that put the console back run, nothing else is written.
[[noreturn]] void fail_run(const std::string& message);

// The exit status of a run that could not read its input or write its output, or was given an
// argument it does not take.
constexpr int trouble_status = 2;

} // namespace referee
