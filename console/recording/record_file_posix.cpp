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

// What a file that is not a regular file is, for the report that refuses it.
std::string kind_of(mode_t mode) {
    if (S_ISCHR(mode) || S_ISBLK(mode)) {
        return "it is a device, not a regular file";
    }
    if (S_ISFIFO(mode)) {
        return "it is a pipe, not a regular file";
    }
    if (S_ISSOCK(mode)) {
        return "it is a socket, not a regular file";
    }
    return "it is not a regular file";
}

// With standard input, output or error closed, a new descriptor takes that number: moved above
// them, the closed stream stays closed and is reported as such, not read or written here.
// Returns the descriptor to use, or -1 with errno set.
int above_standard_streams(int descriptor) {
    if (descriptor > STDERR_FILENO) {
        return descriptor;
    }
    const int moved = ::fcntl(descriptor, F_DUPFD_CLOEXEC, STDERR_FILENO + 1);
    const int error = errno;
    ::close(descriptor);
    errno = error;
    return moved;
}

} // namespace

RecordFile::RecordFile(std::string path)
    : path_(std::move(path)) {
    // Looked at before it is opened: opening a device or a pipe may wait or act on it.
    struct stat status { };
    if (::stat(path_.c_str(), &status) != 0) {
        if (errno != ENOENT) {
            fail("open", std::strerror(errno));
        }
        // Created at the first save, in a folder that must be there and take it.
        const std::size_t slash = path_.rfind('/');
        const std::string folder = slash == std::string::npos ? "."
            : slash == 0                                      ? "/"
                                                              : path_.substr(0, slash);
        if (slash == path_.size() - 1) {
            fail("open", std::strerror(EISDIR));
        }
        const int descriptor = ::open(folder.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
        if (descriptor < 0) {
            fail("open", std::strerror(errno));
        }
        folder_ = above_standard_streams(descriptor);
        if (folder_ < 0) {
            fail("open", std::strerror(errno));
        }
        if (::faccessat(static_cast<int>(folder_), ".", W_OK | X_OK, AT_EACCESS) != 0) {
            fail("create", std::strerror(errno));
        }
        return;
    }
    if (S_ISDIR(status.st_mode)) {
        fail("open", std::strerror(EISDIR));
    }
    if (!S_ISREG(status.st_mode)) {
        fail("use", kind_of(status.st_mode));
    }
    const int descriptor
        = ::open(path_.c_str(), O_RDWR | O_APPEND | O_CLOEXEC | O_NOCTTY | O_NONBLOCK);
    if (descriptor < 0) {
        fail("open", std::strerror(errno));
    }
    handle_ = above_standard_streams(descriptor);
    if (handle_ < 0) {
        fail("open", std::strerror(errno));
    }
    // It may have been replaced since it was looked at.
    if (::fstat(static_cast<int>(handle_), &status) != 0 || !S_ISREG(status.st_mode)) {
        fail("use", kind_of(status.st_mode));
    }
    // A record that is also the game's input would be read as it grows, without end; one that is
    // also its output or error would take the screen or the reports in.
    constexpr std::array<const char*, 3> streams{"input", "output", "error"};
    for (int standard = STDIN_FILENO; standard <= STDERR_FILENO; ++standard) {
        if (same_file(status, standard)) {
            fail("use",
                std::string("it is also the program's standard ")
                    + streams.at(static_cast<std::size_t>(standard)));
        }
    }
    lock(handle_);
}

RecordFile::~RecordFile() {
    if (handle_ >= 0) {
        ::close(static_cast<int>(handle_)); // the lock goes with it
    }
    if (folder_ >= 0) {
        ::close(static_cast<int>(folder_));
    }
}

void RecordFile::lock(std::intptr_t handle) const {
    if (::flock(static_cast<int>(handle), LOCK_EX | LOCK_NB) != 0) {
        if (errno == EWOULDBLOCK) {
            fail_run("referee: '" + path_ + "' is in use by another referee\n");
        }
        fail("lock", std::strerror(errno));
    }
}

void RecordFile::create() {
    const std::size_t slash = path_.rfind('/');
    const std::string name = slash == std::string::npos ? path_ : path_.substr(slash + 1);
    const int folder = static_cast<int>(folder_);
    // Never over a file made in the meantime: that one is not this game's.
    const int descriptor = ::openat(
        folder, name.c_str(), O_RDWR | O_CREAT | O_EXCL | O_APPEND | O_CLOEXEC | O_NOCTTY, 0666);
    if (descriptor < 0) {
        fail("create", std::strerror(errno));
    }
    handle_ = above_standard_streams(descriptor);
    if (handle_ < 0) {
        fail("create", std::strerror(errno));
    }
    lock(handle_);
    // The folder's new entry reaches the disk once; afterwards only the file's bytes change.
    if (::fsync(folder) != 0 && errno != EINVAL) {
        fail("create", std::strerror(errno));
    }
    ::close(folder);
    folder_ = -1;
}

std::string RecordFile::read_all() {
    std::string bytes;
    if (handle_ < 0) {
        return bytes;
    }
    const int descriptor = static_cast<int>(handle_);
    struct stat status { };
    if (::fstat(descriptor, &status) != 0) {
        fail("read", std::strerror(errno));
    }
    // Read straight into a string of the file's size and one byte more, where the end shows: a
    // large record is held once, never copied to a larger string.
    bytes.resize(static_cast<std::size_t>(status.st_size) + 1);
    std::size_t filled = 0;
    for (;;) {
        if (filled == bytes.size()) {
            bytes.resize(filled + (1 << 16)); // it has grown since
        }
        const ssize_t count = ::pread(
            descriptor, bytes.data() + filled, bytes.size() - filled, static_cast<off_t>(filled));
        if (count < 0 && errno == EINTR) {
            continue;
        }
        if (count < 0) {
            fail("read", std::strerror(errno));
        }
        if (count == 0) {
            bytes.resize(filled);
            return bytes;
        }
        filled += static_cast<std::size_t>(count);
    }
}

void RecordFile::append(std::string_view bytes) {
    if (handle_ < 0) {
        create();
    }
    const int descriptor = static_cast<int>(handle_);
    const off_t before = ::lseek(descriptor, 0, SEEK_END);
    int error = 0;
    while (!bytes.empty() && error == 0) {
        const ssize_t count = ::write(descriptor, bytes.data(), bytes.size());
        if (count < 0 && errno == EINTR) {
            continue;
        }
        if (count <= 0) {
            error = count < 0 ? errno : EIO;
        } else {
            bytes.remove_prefix(static_cast<std::size_t>(count));
        }
    }
    // On the disk before the program waits: a crash of the machine loses no line typed before.
    if (error == 0 && ::fsync(descriptor) != 0 && errno != EINVAL) {
        error = errno;
    }
    if (error != 0) {
        // A write that stored part of the bytes would leave half a line, which a resumed game
        // would join to the next line typed: the record goes back to its last whole append.
        if (before >= 0) {
            [[maybe_unused]] const int cut = ::ftruncate(descriptor, before);
        }
        fail("write", std::strerror(error));
    }
}

} // namespace referee
