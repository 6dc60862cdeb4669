#include "console/recording/record_file.h"

#include "console/process.h"

namespace referee {

std::string RecordFile::not_a_record_text(std::string_view reason) const {
    return "referee: '" + path_ + "' is not a game record: " + std::string(reason)
        + "; it is left as it is\n";
}

void RecordFile::fail(std::string_view doing, const std::string& reason) const {
    fail_run("referee: cannot " + std::string(doing) + " '" + path_ + "': " + reason + "\n");
}

} // namespace referee
