#include "fileio/FileBytes.h"

#include <windows.h>

#include <algorithm>
#include <new>

#include "toolkit/foundation/AllocationMayFail.h"

namespace {

struct FileHandle {
    HANDLE handle;
    ~FileHandle() {
        if (handle != INVALID_HANDLE_VALUE) {
            CloseHandle(handle);
        }
    }
};

// The longest piece of a file written in one call.
constexpr DWORD kWriteChunk = 1u << 20;
constexpr char kTempFilePrefix[] = "vnm";

WriteOutcome OutcomeOfError(DWORD error) {
    switch (error) {
        case ERROR_PATH_NOT_FOUND:
        case ERROR_INVALID_NAME:
        case ERROR_DIRECTORY:
            return WriteOutcome::NoFolder;
        case ERROR_DISK_FULL:
        case ERROR_HANDLE_DISK_FULL:
            return WriteOutcome::DiskFull;
        default:
            return WriteOutcome::Failed;
    }
}

}  // namespace

bool ReadFileBytes(const std::string& path, std::string& bytes) {
    bytes.clear();
    // Others may hold the file open for writing (the profile functions do), so share it fully.
    FileHandle file{CreateFileA(path.c_str(), GENERIC_READ,
                                FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr,
                                OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr)};
    if (file.handle == INVALID_HANDLE_VALUE) {
        return false;
    }
    LARGE_INTEGER size{};
    if (!GetFileSizeEx(file.handle, &size) || size.QuadPart < 0 ||
        static_cast<unsigned long long>(size.QuadPart) > bytes.max_size()) {
        return false;
    }
    // A file larger than the memory left is one that cannot be read, not the end of the program.
    try {
        const toolkit::AllocationMayFail mayFail;
        bytes.resize(static_cast<std::size_t>(size.QuadPart));
    } catch (const std::bad_alloc&) {
        return false;
    }
    std::size_t done = 0;
    while (done < bytes.size()) {
        DWORD read = 0;
        const DWORD want = static_cast<DWORD>(std::min<std::size_t>(bytes.size() - done, 1u << 30));
        if (!ReadFile(file.handle, &bytes[done], want, &read, nullptr)) {
            bytes.clear();
            return false;
        }
        if (read == 0) {
            // The file shrank since its size was taken: keep what is there.
            bytes.resize(done);
            break;
        }
        done += read;
    }
    return true;
}

WriteOutcome WriteFileReplacing(const std::string& path, const std::vector<std::uint8_t>& bytes) {
    // Checked first: under Wine the replacing move overwrites a read-only file and clears its
    // read-only bit, where Windows would refuse.
    const DWORD attributes = GetFileAttributesA(path.c_str());
    if (attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_READONLY) != 0) {
        return WriteOutcome::ReadOnly;
    }
    const std::size_t slash = path.find_last_of("\\/");
    const std::string folder = slash == std::string::npos ? "." : path.substr(0, slash + 1);
    char temporary[MAX_PATH] = {};
    if (GetTempFileNameA(folder.c_str(), kTempFilePrefix, 0, temporary) == 0) {
        return OutcomeOfError(GetLastError());
    }
    HANDLE file = CreateFileA(temporary, GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS,
                              FILE_ATTRIBUTE_NORMAL, nullptr);
    bool written = file != INVALID_HANDLE_VALUE;
    DWORD error = written ? ERROR_SUCCESS : GetLastError();
    for (std::size_t done = 0; written && done < bytes.size();) {
        const DWORD chunk =
            static_cast<DWORD>(std::min<std::size_t>(bytes.size() - done, kWriteChunk));
        DWORD count = 0;
        written = WriteFile(file, bytes.data() + done, chunk, &count, nullptr) && count == chunk;
        if (!written) {
            error = GetLastError();
        }
        done += count;
    }
    if (file != INVALID_HANDLE_VALUE) {
        written = FlushFileBuffers(file) && written;
        written = CloseHandle(file) && written;
    }
    if (written &&
        MoveFileExA(temporary, path.c_str(), MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH)) {
        return WriteOutcome::Written;
    }
    if (written) {
        error = GetLastError();
    }
    DeleteFileA(temporary);
    return OutcomeOfError(error);
}
