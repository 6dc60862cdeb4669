// The record file on POSIX: a descriptor opened for appending, with an exclusive flock.
#include "console/record_file.h"

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

RecordFile::RecordFile(std::string path)
    : path_(std::move(path)) {
    const int descriptor = ::open(path_.c_str(), O_RDWR | O_CREAT | O_APPEND | O_CLOEXEC, 0666);
    if (descriptor < 0) {
        fail("open", std::strerror(errno));
    }
    handle_ = descriptor;
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
    while (!bytes.empty()) {
        const ssize_t count = ::write(descriptor, bytes.data(), bytes.size());
        if (count < 0 && errno == EINTR) {
            continue;
        }
        if (count <= 0) {
            fail("write", std::strerror(count < 0 ? errno : EIO));
        }
        bytes.remove_prefix(static_cast<std::size_t>(count));
    }
}

} // namespace referee
