#include "console/recording/record_file.h"

#include "console/process.h"

namespace referee {

std::string RecordFile::not_a_record_text(std::size_t ended_at, std::size_t size) const {
    return "referee: '" + path_ + "' is not a game record: its replay quits the game at byte "
        + std::to_string(ended_at) + " of " + std::to_string(size) + "; it is left as it is\n";
}

void RecordFile::fail(std::string_view doing, const std::string& reason) const {
    fail_run("referee: cannot " + std::string(doing) + " '" + path_ + "': " + reason + "\n");
}

} // namespace referee
