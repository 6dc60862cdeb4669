#include "console/process.h"

#include <cstdlib>
#include <cstring>
#include <string>

namespace referee {

void fail_output(int error_number) {
    write_error_output("referee: write error: " + std::string(std::strerror(error_number)) + "\n");
    std::_Exit(trouble_status); // at once: nothing more is written and no buffer is flushed again
}

void fail_run(const std::string& message) {
    write_error_output(message);
    std::exit(trouble_status);
}

} // namespace referee
