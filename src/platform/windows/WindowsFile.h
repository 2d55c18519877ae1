#pragma once

// Windows only: what the file-system code shares there (handles, paths for the wide-character
// calls, error numbers).

#include <QString>
#include <string>

#include <windows.h>

namespace dokivo::platform {

// An open handle, closed when it goes.
class WinHandle {
  public:
    explicit WinHandle(HANDLE handle) : handle_(handle) {}
    ~WinHandle() {
        if (valid())
            ::CloseHandle(handle_);
    }
    WinHandle(const WinHandle&) = delete;
    WinHandle& operator=(const WinHandle&) = delete;
    bool valid() const { return handle_ != INVALID_HANDLE_VALUE && handle_ != nullptr; }
    HANDLE get() const { return handle_; }
    // Closes now and reports the outcome: a failed close can be a failed write.
    bool close() {
        const HANDLE handle = handle_;
        handle_ = INVALID_HANDLE_VALUE;
        return ::CloseHandle(handle) != 0;
    }

  private:
    HANDLE handle_;
};

// The path as the wide-character calls take it: native separators, and the long-path prefix
// when it would not fit the classic limit of 260 characters.
std::wstring win32Path(const QString& path);

// Whether a listed or opened entry is a link (symbolic link, junction, mount point) rather
// than a file: links are never followed. Other reparse points, such as files kept in the cloud
// or deduplicated ones, are files.
inline bool isLink(DWORD attributes, DWORD reparseTag) {
    return (attributes & FILE_ATTRIBUTE_REPARSE_POINT) && IsReparseTagNameSurrogate(reparseTag);
}

// Maps a Windows error code to its run-time number, as errorNumberFromErrno does for errno.
// `pathContext` chooses 76 over 53 for a missing folder rather than a missing file.
int errorNumberFromWindowsError(DWORD code, bool pathContext = false);

// Throws RunError for GetLastError().
[[noreturn]] void throwLastWindowsError(const QString& path, bool pathContext = false);

}  // namespace dokivo::platform
