#include <vector>

#include "platform/RunError.h"
#include "platform/StagedCopy.h"
#include "platform/windows/WindowsFile.h"

namespace dokivo::platform {

namespace {

HANDLE handleOf(qintptr value) {
    return reinterpret_cast<HANDLE>(value);
}

// Size and last write of a file, from either of the records Windows describes it with.
template <typename FileInformation>
DocumentState stateOf(const FileInformation& info) {
    const FILETIME& written = info.ftLastWriteTime;
    return {(qint64(info.nFileSizeHigh) << 32) | info.nFileSizeLow,
            (qint64(written.dwHighDateTime) << 32) | written.dwLowDateTime};
}

// Opens the document for reading while nobody may write it: a scanner still writing it, or one
// that starts to during the copy, meets a sharing violation, never half a document. A link is
// not followed; a file kept in the cloud or deduplicated is opened as the file it is.
HANDLE openDocument(const QString& source) {
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

// A failure of the document itself (held by a program still writing it, unreadable): it
// concerns this one document only.
[[noreturn]] void throwLastSourceError(const QString& source) {
    try {
        throwLastWindowsError(source);
    } catch (const RunError& error) {
        throw SourceError(error.number(), source);
    }
}

// Which end of a copy failed; the error is in GetLastError().
enum class FailedSide { None, Source, Target };

// Copies every byte from the start of `from` and counts them.
FailedSide copyAll(HANDLE from, HANDLE to, qint64* total) {
    *total = 0;
    LARGE_INTEGER start{};
    if (!SetFilePointerEx(from, start, nullptr, FILE_BEGIN))
        return FailedSide::Source;
    std::vector<char> buffer(1 << 20);
    for (;;) {
        DWORD got = 0;
        if (!ReadFile(from, buffer.data(), static_cast<DWORD>(buffer.size()), &got, nullptr))
            return FailedSide::Source;
        if (got == 0)
            return FailedSide::None;
        for (DWORD done = 0; done < got;) {
            DWORD written = 0;
            if (!WriteFile(to, buffer.data() + done, got - done, &written, nullptr))
                return FailedSide::Target;
            done += written;
        }
        *total += got;
    }
}

}  // namespace

DocumentState documentState(const QString& path) {
    WIN32_FILE_ATTRIBUTE_DATA data{};
    if (!GetFileAttributesExW(win32Path(path).c_str(), GetFileExInfoStandard, &data) ||
        (data.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY))
        return {};
    return stateOf(data);
}

void StagedCopy::closeHandle() {
    if (handle_ != -1)
        CloseHandle(handleOf(handle_));
    handle_ = -1;
}

StagedCopy::~StagedCopy() {
    closeHandle();
    if (pending_)
        DeleteFileW(win32Path(temporary_).c_str());
}

void StagedCopy::flush() {
    WinHandle file(handleOf(handle_));
    handle_ = -1;
    if (!FlushFileBuffers(file.get()))
        throwLastWindowsError(target_);
    if (!file.close())  // a failed close can be a failed write
        throwLastWindowsError(target_);
}

bool StagedCopy::commitUnlessTaken() {
    // Without MOVEFILE_REPLACE_EXISTING the move fails on a taken name, also on a share.
    if (MoveFileExW(win32Path(temporary_).c_str(), win32Path(target_).c_str(), MOVEFILE_WRITE_THROUGH)) {
        pending_ = false;
        return true;
    }
    const DWORD error = GetLastError();
    if (error == ERROR_ALREADY_EXISTS || error == ERROR_FILE_EXISTS)
        return false;
    throwLastWindowsError(target_);
}

void StagedCopy::commit() {
    // Write-through: the call returns once the new name is on disk.
    if (!MoveFileExW(win32Path(temporary_).c_str(), win32Path(target_).c_str(),
                     MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH))
        throwLastWindowsError(target_);
    pending_ = false;
}

OpenDocument::OpenDocument(const QString& path) : path_(path) {
    BY_HANDLE_FILE_INFORMATION info{};
    {
        WinHandle in(openDocument(path));
        if (!in.valid())
            throwLastSourceError(path);
        if (!GetFileInformationByHandle(in.get(), &info))
            throwLastSourceError(path);
        if ((info.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) || GetFileType(in.get()) != FILE_TYPE_DISK)
            throw SourceError(errnum::FileNotFound, path);
        // Kept open by this object from here: a second handle, the first closes with its scope.
        HANDLE kept = INVALID_HANDLE_VALUE;
        if (!DuplicateHandle(GetCurrentProcess(), in.get(), GetCurrentProcess(), &kept, 0, FALSE,
                             DUPLICATE_SAME_ACCESS))
            throwLastSourceError(path);
        handle_ = reinterpret_cast<qintptr>(kept);
    }
    state_ = stateOf(info);
}

OpenDocument::~OpenDocument() {
    CloseHandle(handleOf(handle_));
}

StagedCopy OpenDocument::copyTo(const QString& target, const QString& temporary, bool targetExists) {
    const HANDLE in = handleOf(handle_);
    BY_HANDLE_FILE_INFORMATION before{};
    GetFileInformationByHandle(in, &before);
    // Copying a file onto itself would end with its deletion as the "source". Opening for no
    // data access meets no sharing rule.
    if (targetExists) {
        WinHandle existing(CreateFileW(win32Path(target).c_str(), 0,
                                       FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr,
                                       OPEN_EXISTING, FILE_FLAG_BACKUP_SEMANTICS, nullptr));
        BY_HANDLE_FILE_INFORMATION other{};
        if (existing.valid() && GetFileInformationByHandle(existing.get(), &other) &&
            other.dwVolumeSerialNumber == before.dwVolumeSerialNumber &&
            other.nFileIndexHigh == before.nFileIndexHigh && other.nFileIndexLow == before.nFileIndexLow)
            throw RunError(errnum::PermissionDenied, target);
    }

    const HANDLE out = CreateFileW(win32Path(temporary).c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS,
                                   FILE_ATTRIBUTE_NORMAL, nullptr);
    if (out == INVALID_HANDLE_VALUE)
        throwLastWindowsError(target, true);
    StagedCopy copy(temporary, target, reinterpret_cast<qintptr>(out));  // a failure removes it

    qint64 copied = 0;
    switch (copyAll(in, out, &copied)) {
        case FailedSide::Source:
            throwLastSourceError(path_);
        case FailedSide::Target:
            throwLastWindowsError(target);
        case FailedSide::None:
            break;
    }
    SetFileTime(out, nullptr, &before.ftLastAccessTime, &before.ftLastWriteTime);

    BY_HANDLE_FILE_INFORMATION after{};
    if (!GetFileInformationByHandle(in, &after))
        throwLastSourceError(path_);
    if (stateOf(after) != state_ || copied != state_.size)
        throw SourceError(errnum::PermissionDenied, path_);
    return copy;
}

}  // namespace dokivo::platform
