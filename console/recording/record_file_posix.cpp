// The record file on POSIX: a descriptor opened for appending, with an exclusive flock.
#include "console/recording/record_file.h"

#include "console/process.h"

#include <array>
#include <cerrno>
#include <cstring>
#include <fcntl.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>
#include <utility>

namespace referee {

namespace {

// Whether two open files are one and the same.
bool same_file(const struct stat& one, int descriptor) {
    struct stat other { };
    return ::fstat(descriptor, &other) == 0 && other.st_dev == one.st_dev
        && other.st_ino == one.st_ino;
}

} // namespace

RecordFile::RecordFile(std::string path)
    : path_(std::move(path)) {
    int descriptor = ::open(path_.c_str(), O_RDWR | O_CREAT | O_APPEND | O_CLOEXEC, 0666);
    if (descriptor < 0) {
        fail("open", std::strerror(errno));
    }
    // With standard input, output or error closed, the file got that number: move it above them,
    // so that the closed stream stays closed and is reported as such, not read or written here.
    if (descriptor <= STDERR_FILENO) {
        const int moved = ::fcntl(descriptor, F_DUPFD_CLOEXEC, STDERR_FILENO + 1);
        if (moved < 0) {
            fail("open", std::strerror(errno));
        }
        ::close(descriptor);
        descriptor = moved;
    }
    handle_ = descriptor;
    // A record that is also the game's input would be read as it grows, without end; one that is
    // also its output or error would take the screen or the reports in.
    struct stat status { };
    if (::fstat(descriptor, &status) == 0 && S_ISREG(status.st_mode)) {
        constexpr std::array<const char*, 3> streams{"input", "output", "error"};
        for (int standard = STDIN_FILENO; standard <= STDERR_FILENO; ++standard) {
            if (same_file(status, standard)) {
                fail("use",
                    std::string("it is also the program's standard ")
                        + streams.at(static_cast<std::size_t>(standard)));
            }
        }
    }
    if (::flock(descriptor, LOCK_EX | LOCK_NB) != 0) {
        if (errno == EWOULDBLOCK) {
            fail_run("referee: '" + path_ + "' is in use by another referee\n");
        }
        fail("lock", std::strerror(errno));
    }
}

RecordFile::~RecordFile() {
    ::close(static_cast<int>(handle_)); // the lock goes with it
}

std::string RecordFile::read_all() {
    const int descriptor = static_cast<int>(handle_);
    struct stat status { };
    if (::fstat(descriptor, &status) != 0) {
        fail("read", std::strerror(errno));
    }
    std::string bytes;
    if (!S_ISREG(status.st_mode)) {
        return bytes;
    }
    std::array<char, 1 << 16> block{};
    for (;;) {
        const ssize_t count
            = ::pread(descriptor, block.data(), block.size(), static_cast<off_t>(bytes.size()));
        if (count < 0 && errno == EINTR) {
            continue;
        }
        if (count < 0) {
            fail("read", std::strerror(errno));
        }
        if (count == 0) {
            return bytes;
        }
        bytes.append(block.data(), static_cast<std::size_t>(count));
    }
}

void RecordFile::append(std::string_view bytes) {
    const int descriptor = static_cast<int>(handle_);
    const off_t before = ::lseek(descriptor, 0, SEEK_END);
    while (!bytes.empty()) {
        const ssize_t count = ::write(descriptor, bytes.data(), bytes.size());
        if (count < 0 && errno == EINTR) {
            continue;
        }
        if (count <= 0) {
            const int error = count < 0 ? errno : EIO;
            // A write that stored part of the bytes would leave half a line, which a resumed game
            // would join to the next line typed: the record goes back to its last whole append.
            if (before >= 0) {
                // A device that cannot be cut keeps its bytes; the reason given is the write's.
                [[maybe_unused]] const int cut = ::ftruncate(descriptor, before);
            }
            fail("write", std::strerror(error));
        }
        bytes.remove_prefix(static_cast<std::size_t>(count));
    }
}

} // namespace referee
