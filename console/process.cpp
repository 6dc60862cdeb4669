#include "console/process.h"

#include <cstdlib>
#include <cstring>
#include <string>
#include <string_view>

namespace referee {

namespace {

[[noreturn]] void fail(std::string_view what, int error_number) {
    write_error_output(
        "referee: " + std::string(what) + ": " + std::string(std::strerror(error_number)) + "\n");
    std::_Exit(trouble_status); // at once: nothing more is written and no buffer is flushed again
}

} // namespace

void fail_output(int error_number) {
    fail("write error", error_number);
}

void fail_input(int error_number) {
    fail("read error", error_number);
}

void fail_run(const std::string& message) {
    write_error_output(message);
    std::exit(trouble_status);
}

} // namespace referee
