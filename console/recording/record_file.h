// The file that keeps a game's record (referee --save FILE): a regular file, opened for reading
// and appending and locked against every other referee for as long as it is open, with the
// platform's own file locks. A missing file is created at the first save, so that a run that
// ends before it leaves no file behind; its folder is checked at the start. Each failure is
// reported on standard error, naming the file and the reason, and ends the run with status 2;
// the file is left as it was.
#pragma once

#include "console/recording/recording_console.h"

#include <cstdint>
#include <string>
#include <string_view>

namespace referee {

class RecordFile final : public RecordSink {
public:
    // Opens and locks the file (or checks the folder of a missing one), or ends the run.
    explicit RecordFile(std::string path);
    ~RecordFile();
    RecordFile(const RecordFile&) = delete;
    RecordFile& operator=(const RecordFile&) = delete;

    // The bytes the file holds; nothing for a file not yet created.
    [[nodiscard]] std::string read_all();
    // Writes bytes at the end of the file, creating it first when it is missing, and returns
    // once they are on the disk (fsync, FlushFileBuffers); a new file's folder entry too.
    void append(std::string_view bytes) override;

    // The report for a file that is not a game record, for the reason given.
    [[nodiscard]] std::string not_a_record_text(std::string_view reason) const;

private:
    // Ends the run with "referee: cannot <doing> 'FILE': <reason>".
    [[noreturn]] void fail(std::string_view doing, const std::string& reason) const;

    // Creates the missing file and locks it.
    void create();
    // Takes the lock that keeps every other referee off the file, or ends the run.
    void lock(std::intptr_t handle) const;

    std::string path_;
    std::intptr_t handle_ = -1; // the descriptor on POSIX, the HANDLE on Windows; -1 until created
    std::intptr_t folder_ = -1; // on POSIX, the folder of a file not yet created
};

} // namespace referee
