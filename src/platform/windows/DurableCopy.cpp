#include "platform/DurableCopy.h"

#include <vector>

#include "platform/AtomicFile.h"
#include "platform/RunError.h"
#include "platform/windows/WindowsFile.h"

namespace dokivo::platform {

namespace {

bool sameState(const BY_HANDLE_FILE_INFORMATION& a, const BY_HANDLE_FILE_INFORMATION& b) {
    return a.nFileSizeHigh == b.nFileSizeHigh && a.nFileSizeLow == b.nFileSizeLow &&
           CompareFileTime(&a.ftLastWriteTime, &b.ftLastWriteTime) == 0;
}

bool sameFile(const BY_HANDLE_FILE_INFORMATION& a, const BY_HANDLE_FILE_INFORMATION& b) {
    return a.dwVolumeSerialNumber == b.dwVolumeSerialNumber && a.nFileIndexHigh == b.nFileIndexHigh &&
           a.nFileIndexLow == b.nFileIndexLow;
}

// Opens the source for reading while nobody may write it: a scanner still writing it, or one
// that starts to during the copy, meets a sharing violation, never half a document. A link is
// not followed; a file kept in the cloud or deduplicated is opened as the file it is.
HANDLE openSource(const QString& source) {
    const std::wstring path = win32Path(source);
    constexpr DWORD kFlags = FILE_FLAG_SEQUENTIAL_SCAN;
    HANDLE handle = CreateFileW(path.c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING,
                                kFlags | FILE_FLAG_OPEN_REPARSE_POINT, nullptr);
    if (handle == INVALID_HANDLE_VALUE)
        return handle;
    FILE_ATTRIBUTE_TAG_INFO tag{};
    if (!GetFileInformationByHandleEx(handle, FileAttributeTagInfo, &tag, sizeof tag) ||
        !(tag.FileAttributes & FILE_ATTRIBUTE_REPARSE_POINT))
        return handle;
    CloseHandle(handle);
    if (isLink(tag.FileAttributes, tag.ReparseTag)) {
        SetLastError(ERROR_FILE_NOT_FOUND);
        return INVALID_HANDLE_VALUE;
    }
    return CreateFileW(path.c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING, kFlags, nullptr);
}

// Copies every byte; returns the count copied, or -1 with the error in GetLastError().
qint64 copyAll(HANDLE from, HANDLE to) {
    std::vector<char> buffer(1 << 20);
    qint64 total = 0;
    for (;;) {
        DWORD got = 0;
        if (!ReadFile(from, buffer.data(), static_cast<DWORD>(buffer.size()), &got, nullptr))
            return -1;
        if (got == 0)
            return total;
        for (DWORD done = 0; done < got;) {
            DWORD written = 0;
            if (!WriteFile(to, buffer.data() + done, got - done, &written, nullptr))
                return -1;
            done += written;
        }
        total += got;
    }
}

// A failure of the document itself (held by a program still writing it, unreadable): it
// concerns this one document only.
[[noreturn]] void throwLastSourceError(const QString& source) {
    try {
        throwLastWindowsError(source);
    } catch (const RunError& error) {
        throw SourceError(error.number(), source);
    }
}

}  // namespace

PreparedCopy PreparedCopy::prepare(const QString& source, const QString& target) {
    const QString temporary = folderOf(target) + kTemporaryCopyName;

    WinHandle in(openSource(source));
    if (!in.valid())
        throwLastSourceError(source);
    BY_HANDLE_FILE_INFORMATION before{};
    if (!GetFileInformationByHandle(in.get(), &before))
        throwLastSourceError(source);
    if ((before.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) || GetFileType(in.get()) != FILE_TYPE_DISK)
        throw SourceError(errnum::FileNotFound, source);

    // Copying a file onto itself would end with its deletion as the "source". Opening for no
    // data access meets no sharing rule.
    WinHandle existing(CreateFileW(win32Path(target).c_str(), 0,
                                   FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr,
                                   OPEN_EXISTING, FILE_FLAG_BACKUP_SEMANTICS, nullptr));
    BY_HANDLE_FILE_INFORMATION other{};
    if (existing.valid() && GetFileInformationByHandle(existing.get(), &other) && sameFile(before, other))
        throw RunError(errnum::PermissionDenied, target);

    WinHandle out(CreateFileW(win32Path(temporary).c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS,
                              FILE_ATTRIBUTE_NORMAL, nullptr));
    if (!out.valid())
        throwLastWindowsError(target, true);
    PreparedCopy copy(temporary, target);  // from here a failure removes the temporary file

    const qint64 copied = copyAll(in.get(), out.get());
    if (copied < 0)
        throwLastWindowsError(target);
    SetFileTime(out.get(), nullptr, &before.ftLastAccessTime, &before.ftLastWriteTime);
    if (!FlushFileBuffers(out.get()))
        throwLastWindowsError(target);
    if (!out.close())
        throwLastWindowsError(target);

    BY_HANDLE_FILE_INFORMATION after{};
    if (!GetFileInformationByHandle(in.get(), &after))
        throwLastSourceError(source);
    const qint64 size = (qint64(before.nFileSizeHigh) << 32) | before.nFileSizeLow;
    if (!sameState(before, after) || copied != size)
        throw SourceError(errnum::PermissionDenied, source);
    return copy;
}

void PreparedCopy::commitLeavingFolderUnflushed() {
    // Write-through: the call returns once the new name is on disk.
    if (!MoveFileExW(win32Path(temporary_).c_str(), win32Path(target_).c_str(),
                     MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH))
        throwLastWindowsError(target_);
    pending_ = false;
}

}  // namespace dokivo::platform
