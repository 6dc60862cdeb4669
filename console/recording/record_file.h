// The file that keeps a game's record (referee --save FILE): opened for reading and appending,
// created when missing, and locked against every other referee for as long as it is open, with
// the platform's own file locks. Each failure is reported on standard error, naming the file and
// the reason, and ends the run with status 2; the file is left as it was.
#pragma once

#include "console/recording/recording_console.h"

#include <cstdint>
#include <string>
#include <string_view>

namespace referee {

class RecordFile final : public RecordSink {
public:
    // Opens and locks the file, or ends the run.
    explicit RecordFile(std::string path);
    ~RecordFile();
    RecordFile(const RecordFile&) = delete;
    RecordFile& operator=(const RecordFile&) = delete;

    // The bytes the file holds; nothing when it is not a regular file (a device, say).
    [[nodiscard]] std::string read_all();
    // Writes bytes at the end of the file, handing them to the file system before it returns.
    void append(std::string_view bytes) override;

    // The report for a file whose replay ended the game after `ended_at` of its `size` bytes.
    [[nodiscard]] std::string not_a_record_text(std::size_t ended_at, std::size_t size) const;

private:
    // Ends the run with "referee: cannot <doing> 'FILE': <reason>".
    [[noreturn]] void fail(std::string_view doing, const std::string& reason) const;

    std::string path_;
    std::intptr_t handle_ = -1; // the descriptor on POSIX, the HANDLE on Windows
};

} // namespace referee
