// The record file on Windows: a handle opened for reading and writing, with an exclusive
// LockFileEx lock on one byte far past any record's end (the lock is mandatory on Windows: over
// the file itself it would keep others from reading the record); every write goes to the end
// and is flushed to the disk (FlushFileBuffers).
#include "console/recording/record_file.h"

#include "console/process.h"

#include <algorithm>
#include <array>
#include <cstring>
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

// Whether a standard handle may be the same file on disk as the record: by volume and file
// index, else (under wine, say, where a redirected handle does not answer that) by the file ID,
// else by the final path name. A disk file that answers none of them counts as the same: when
// unsure, the record is refused rather than read as it grows or written into.
bool may_be_same_file(HANDLE file, HANDLE standard) {
    if (standard == nullptr || standard == INVALID_HANDLE_VALUE
        || GetFileType(standard) != FILE_TYPE_DISK) {
        return false;
    }
    BY_HANDLE_FILE_INFORMATION one{};
    BY_HANDLE_FILE_INFORMATION other{};
    if (GetFileInformationByHandle(file, &one) != 0
        && GetFileInformationByHandle(standard, &other) != 0) {
        return one.dwVolumeSerialNumber == other.dwVolumeSerialNumber
            && one.nFileIndexHigh == other.nFileIndexHigh
            && one.nFileIndexLow == other.nFileIndexLow;
    }
    FILE_ID_INFO one_id{};
    FILE_ID_INFO other_id{};
    if (GetFileInformationByHandleEx(file, FileIdInfo, &one_id, sizeof one_id) != 0
        && GetFileInformationByHandleEx(standard, FileIdInfo, &other_id, sizeof other_id) != 0) {
        // A volume given as 0 is one the system could not name: the IDs decide alone.
        const bool volumes_differ = one_id.VolumeSerialNumber != 0
            && other_id.VolumeSerialNumber != 0
            && one_id.VolumeSerialNumber != other_id.VolumeSerialNumber;
        return !volumes_differ
            && std::memcmp(&one_id.FileId, &other_id.FileId, sizeof one_id.FileId) == 0;
    }
    std::array<wchar_t, 1024> one_path{};
    std::array<wchar_t, 1024> other_path{};
    const DWORD one_size = GetFinalPathNameByHandleW(
        file, one_path.data(), static_cast<DWORD>(one_path.size()), FILE_NAME_NORMALIZED);
    const DWORD other_size = GetFinalPathNameByHandleW(
        standard, other_path.data(), static_cast<DWORD>(other_path.size()), FILE_NAME_NORMALIZED);
    if (one_size == 0 || one_size >= one_path.size() || other_size == 0
        || other_size >= other_path.size()) {
        return true;
    }
    return CompareStringOrdinal(one_path.data(), static_cast<int>(one_size), other_path.data(),
               static_cast<int>(other_size), TRUE)
        == CSTR_EQUAL;
}

HANDLE handle_of(std::intptr_t handle) {
    return reinterpret_cast<HANDLE>(handle); // NOLINT(performance-no-int-to-ptr): stored so
}

// What a file that is not a file on disk is, for the report that refuses it.
std::string kind_of(DWORD type) {
    switch (type) {
    case FILE_TYPE_CHAR:
        return "it is a device, not a regular file";
    case FILE_TYPE_PIPE:
        return "it is a pipe, not a regular file";
    default:
        return "it is not a regular file";
    }
}

} // namespace

RecordFile::RecordFile(std::string path)
    : path_(std::move(path)) {
    // Shared for reading and writing, so that a second referee gets as far as the lock and can
    // say that the file is in use. A missing file is created at the first save.
    const HANDLE file = CreateFileA(path_.c_str(), GENERIC_READ | GENERIC_WRITE,
        FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr, OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr);
    if (file == INVALID_HANDLE_VALUE) {
        const DWORD error = GetLastError();
        if (error != ERROR_FILE_NOT_FOUND) {
            fail("open", reason(error)); // a missing folder among them
        }
        return;
    }
    handle_ = reinterpret_cast<std::intptr_t>(file);
    const DWORD type = GetFileType(file);
    if (type != FILE_TYPE_DISK) {
        fail("use", kind_of(type));
    }
    // A record that is also the game's input would be read as it grows, without end; one that is
    // also its output or error would take the screen or the reports in.
    const std::array<std::pair<DWORD, const char*>, 3> streams{{
        {STD_INPUT_HANDLE, "input"},
        {STD_OUTPUT_HANDLE, "output"},
        {STD_ERROR_HANDLE, "error"},
    }};
    for (const auto& [standard, name] : streams) {
        if (may_be_same_file(file, GetStdHandle(standard))) {
            fail("use", std::string("it is also the program's standard ") + name);
        }
    }
    lock(handle_);
}

void RecordFile::lock(std::intptr_t handle) const {
    OVERLAPPED far_byte{};
    far_byte.Offset = MAXDWORD;
    far_byte.OffsetHigh = 0x7FFFFFFF;
    if (LockFileEx(handle_of(handle), LOCKFILE_EXCLUSIVE_LOCK | LOCKFILE_FAIL_IMMEDIATELY, 0, 1, 0,
            &far_byte)
        == 0) {
        const DWORD error = GetLastError();
        if (error == ERROR_LOCK_VIOLATION || error == ERROR_SHARING_VIOLATION) {
            fail_run("referee: '" + path_ + "' is in use by another referee\n");
        }
        fail("lock", reason(error));
    }
}

void RecordFile::create() {
    // Never over a file made in the meantime: that one is not this game's.
    const HANDLE file = CreateFileA(path_.c_str(), GENERIC_READ | GENERIC_WRITE,
        FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr, CREATE_NEW, FILE_ATTRIBUTE_NORMAL, nullptr);
    if (file == INVALID_HANDLE_VALUE) {
        fail("create", reason(GetLastError()));
    }
    handle_ = reinterpret_cast<std::intptr_t>(file);
    lock(handle_);
    // The folder's new entry reaches the disk once, where the system lets a folder be flushed.
    const std::size_t slash = path_.find_last_of("\\/");
    const std::string folder = slash == std::string::npos ? "." : path_.substr(0, slash + 1);
    const HANDLE entry = CreateFileA(folder.c_str(), GENERIC_WRITE,
        FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr, OPEN_EXISTING,
        FILE_FLAG_BACKUP_SEMANTICS, nullptr);
    if (entry != INVALID_HANDLE_VALUE) {
        FlushFileBuffers(entry);
        CloseHandle(entry);
    }
}

RecordFile::~RecordFile() {
    if (handle_ != -1) {
        CloseHandle(handle_of(handle_)); // the lock goes with it
    }
}

std::string RecordFile::read_all() {
    std::string bytes;
    if (handle_ == -1) {
        return bytes;
    }
    const HANDLE file = handle_of(handle_);
    LARGE_INTEGER size{};
    if (GetFileSizeEx(file, &size) == 0) {
        fail("read", reason(GetLastError()));
    }
    // Read straight into a string of the file's size and one byte more, where the end shows: a
    // large record is held once, never copied to a larger string.
    bytes.resize(static_cast<std::size_t>(size.QuadPart) + 1);
    std::size_t filled = 0;
    for (;;) {
        if (filled == bytes.size()) {
            bytes.resize(filled + (1 << 16)); // it has grown since
        }
        DWORD count = 0;
        const auto room
            = static_cast<DWORD>(std::min<std::size_t>(bytes.size() - filled, 1U << 30));
        if (ReadFile(file, bytes.data() + filled, room, &count, nullptr) == 0) {
            fail("read", reason(GetLastError()));
        }
        if (count == 0) {
            bytes.resize(filled);
            return bytes;
        }
        filled += count;
    }
}

void RecordFile::append(std::string_view bytes) {
    if (handle_ == -1) {
        create();
    }
    const HANDLE file = handle_of(handle_);
    LARGE_INTEGER before{};
    if (SetFilePointerEx(file, LARGE_INTEGER{}, &before, FILE_END) == 0) {
        fail("write", reason(GetLastError()));
    }
    DWORD error = ERROR_SUCCESS;
    while (!bytes.empty() && error == ERROR_SUCCESS) {
        DWORD count = 0;
        const auto chunk = static_cast<DWORD>(std::min<std::size_t>(bytes.size(), 1U << 30));
        const BOOL written = WriteFile(file, bytes.data(), chunk, &count, nullptr);
        if (written == 0 || count == 0) {
            error = written == 0 ? GetLastError() : ERROR_WRITE_FAULT;
        } else {
            bytes.remove_prefix(count);
        }
    }
    // On the disk before the program waits: a crash of the machine loses no line typed before.
    if (error == ERROR_SUCCESS && FlushFileBuffers(file) == 0) {
        error = GetLastError();
    }
    if (error != ERROR_SUCCESS) {
        // A write that stored part of the bytes would leave half a line, which a resumed game
        // would join to the next line typed: the record goes back to its last whole append.
        if (SetFilePointerEx(file, before, nullptr, FILE_BEGIN) != 0) {
            SetEndOfFile(file);
        }
        fail("write", reason(error));
    }
}

} // namespace referee
