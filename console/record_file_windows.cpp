// The record file on Windows: a handle opened for reading and writing, with an exclusive
// LockFileEx lock over the whole file; every write goes to the file's end.
#include "console/record_file.h"

#include "console/process.h"

#include <algorithm>
#include <array>
#include <utility>
#include <windows.h>

namespace referee {

namespace {

// The system's text for an error code, without its final period and line end.
std::string reason(DWORD error) {
    std::array<char, 512> text{};
    const DWORD size = FormatMessageA(FORMAT_MESSAGE_FROM_SYSTEM | FORMAT_MESSAGE_IGNORE_INSERTS,
        nullptr, error, 0, text.data(), static_cast<DWORD>(text.size()), nullptr);
    std::string message(text.data(), size);
    while (!message.empty()
        && (message.back() == '\n' || message.back() == '\r' || message.back() == '.')) {
        message.pop_back();
    }
    return message.empty() ? "error " + std::to_string(error) : message;
}

HANDLE handle_of(std::intptr_t handle) {
    return reinterpret_cast<HANDLE>(handle); // NOLINT(performance-no-int-to-ptr): stored so
}

} // namespace

RecordFile::RecordFile(std::string path)
    : path_(std::move(path)) {
    // Shared for reading and writing, so that a second referee gets as far as the lock and can
    // say that the file is in use.
    const HANDLE file = CreateFileA(path_.c_str(), GENERIC_READ | GENERIC_WRITE,
        FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr, OPEN_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr);
    if (file == INVALID_HANDLE_VALUE) {
        fail("open", reason(GetLastError()));
    }
    handle_ = reinterpret_cast<std::intptr_t>(file);
    OVERLAPPED whole{};
    if (LockFileEx(file, LOCKFILE_EXCLUSIVE_LOCK | LOCKFILE_FAIL_IMMEDIATELY, 0, MAXDWORD, MAXDWORD,
            &whole)
        == 0) {
        const DWORD error = GetLastError();
        if (error == ERROR_LOCK_VIOLATION || error == ERROR_SHARING_VIOLATION) {
            fail_run("referee: '" + path_ + "' is in use by another referee\n");
        }
        fail("lock", reason(error));
    }
}

RecordFile::~RecordFile() {
    CloseHandle(handle_of(handle_)); // the lock goes with it
}

std::string RecordFile::read_all() {
    const HANDLE file = handle_of(handle_);
    std::string bytes;
    if (GetFileType(file) != FILE_TYPE_DISK) {
        return bytes;
    }
    std::array<char, 1 << 16> block{};
    for (;;) {
        DWORD count = 0;
        if (ReadFile(file, block.data(), static_cast<DWORD>(block.size()), &count, nullptr) == 0) {
            fail("read", reason(GetLastError()));
        }
        if (count == 0) {
            return bytes;
        }
        bytes.append(block.data(), count);
    }
}

void RecordFile::append(std::string_view bytes) {
    const HANDLE file = handle_of(handle_);
    if (SetFilePointerEx(file, LARGE_INTEGER{}, nullptr, FILE_END) == 0) {
        fail("write", reason(GetLastError()));
    }
    while (!bytes.empty()) {
        DWORD count = 0;
        const auto chunk = static_cast<DWORD>(std::min<std::size_t>(bytes.size(), 1U << 30));
        if (WriteFile(file, bytes.data(), chunk, &count, nullptr) == 0 || count == 0) {
            fail("write", reason(GetLastError()));
        }
        bytes.remove_prefix(count);
    }
}

} // namespace referee
