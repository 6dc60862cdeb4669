// The record file on Windows: a handle opened for reading and writing, with an exclusive
// LockFileEx lock on one byte far past any record's end (the lock is mandatory on Windows: over
// the file itself it would keep others from reading the record); every write goes to the end.
#include "console/recording/record_file.h"

#include "console/process.h"

#include <algorithm>
#include <array>
#include <string>
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

// Whether a standard handle is the same file on disk as the record.
bool is_same_file(HANDLE file, HANDLE standard) {
    BY_HANDLE_FILE_INFORMATION one{};
    BY_HANDLE_FILE_INFORMATION other{};
    return standard != nullptr && standard != INVALID_HANDLE_VALUE
        && GetFileType(standard) == FILE_TYPE_DISK && GetFileInformationByHandle(file, &one) != 0
        && GetFileInformationByHandle(standard, &other) != 0
        && one.dwVolumeSerialNumber == other.dwVolumeSerialNumber
        && one.nFileIndexHigh == other.nFileIndexHigh && one.nFileIndexLow == other.nFileIndexLow;
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
    // A record that is also the game's input would be read as it grows, without end; one that is
    // also its output or error would take the screen or the reports in.
    const std::array<std::pair<DWORD, const char*>, 3> streams{{
        {STD_INPUT_HANDLE, "input"},
        {STD_OUTPUT_HANDLE, "output"},
        {STD_ERROR_HANDLE, "error"},
    }};
    for (const auto& [standard, name] : streams) {
        if (is_same_file(file, GetStdHandle(standard))) {
            fail("use", std::string("it is also the program's standard ") + name);
        }
    }
    OVERLAPPED far_byte{};
    far_byte.Offset = MAXDWORD;
    far_byte.OffsetHigh = 0x7FFFFFFF;
    if (LockFileEx(file, LOCKFILE_EXCLUSIVE_LOCK | LOCKFILE_FAIL_IMMEDIATELY, 0, 1, 0, &far_byte)
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
    LARGE_INTEGER before{};
    if (SetFilePointerEx(file, LARGE_INTEGER{}, &before, FILE_END) == 0) {
        fail("write", reason(GetLastError()));
    }
    while (!bytes.empty()) {
        DWORD count = 0;
        const auto chunk = static_cast<DWORD>(std::min<std::size_t>(bytes.size(), 1U << 30));
        const BOOL written = WriteFile(file, bytes.data(), chunk, &count, nullptr);
        if (written == 0 || count == 0) {
            const DWORD error = written == 0 ? GetLastError() : ERROR_WRITE_FAULT;
            // A write that stored part of the bytes would leave half a line, which a resumed game
            // would join to the next line typed: the record goes back to its last whole append.
            if (SetFilePointerEx(file, before, nullptr, FILE_BEGIN) != 0) {
                SetEndOfFile(file);
            }
            fail("write", reason(error));
        }
        bytes.remove_prefix(count);
    }
}

} // namespace referee
