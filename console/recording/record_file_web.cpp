// The record file in the web home: a page has no file that outlives it, and under node the
// module's files live in memory only, so a game kept with --save would be lost when it ends.
// The option is refused before the game starts, as a file that cannot be opened is.
#include "console/recording/record_file.h"

#include "console/process.h"

#include <utility>

namespace referee {

RecordFile::RecordFile(std::string path)
    : path_(std::move(path)) {
    fail_run("referee: --save is not available in the web build: its files do not outlive it\n");
}

RecordFile::~RecordFile() = default;

std::string RecordFile::read_all() {
    return {};
}

void RecordFile::append(std::string_view /*bytes*/) { }

} // namespace referee
