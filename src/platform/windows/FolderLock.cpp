#include "platform/FolderLock.h"

#include "platform/windows/WindowsFile.h"

namespace dokivo::platform {

// A byte-range lock belongs to the handle: a second handle in the same process is refused too,
// and the lock goes when the handle is closed, by the FolderLock or by the system at the
// holder's end. The file is opened sharing everything, so that others can read who holds it.
struct FolderLock::State {
    HANDLE handle = INVALID_HANDLE_VALUE;
};

FolderLock::FolderLock() : state_(std::make_unique<State>()) {}

FolderLock::~FolderLock() {
    if (state_->handle != INVALID_HANDLE_VALUE)
        ::CloseHandle(state_->handle);
}

namespace {

OVERLAPPED lockedRange() {
    OVERLAPPED range{};
    range.Offset = static_cast<DWORD>(kFolderLockedByte & 0xFFFFFFFF);
    range.OffsetHigh = static_cast<DWORD>(kFolderLockedByte >> 32);
    return range;
}

QByteArray readText(HANDLE handle) {
    char buffer[512];
    DWORD read = 0;
    OVERLAPPED start{};
    return ::ReadFile(handle, buffer, sizeof buffer, &read, &start)
               ? QByteArray(buffer, static_cast<int>(read))
               : QByteArray();
}

}  // namespace

FolderLock::Outcome FolderLock::tryLock(const QString& folder) {
    holder_.clear();
    // A lock file this account may only read still takes the exclusive lock.
    const std::wstring path = win32Path(folder + kFolderLockName);
    const auto open = [&path](DWORD access, DWORD disposition) {
        return ::CreateFileW(path.c_str(), access, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE,
                             nullptr, disposition, FILE_ATTRIBUTE_NORMAL | FILE_FLAG_OPEN_REPARSE_POINT,
                             nullptr);
    };
    HANDLE handle = open(GENERIC_READ | GENERIC_WRITE, OPEN_ALWAYS);
    const bool writable = handle != INVALID_HANDLE_VALUE;
    if (!writable && ::GetLastError() == ERROR_ACCESS_DENIED)
        handle = open(GENERIC_READ, OPEN_EXISTING);
    if (handle == INVALID_HANDLE_VALUE)
        return Outcome::Unavailable;
    OVERLAPPED range = lockedRange();
    if (!::LockFileEx(handle, LOCKFILE_EXCLUSIVE_LOCK | LOCKFILE_FAIL_IMMEDIATELY, 0, 1, 0, &range)) {
        const DWORD error = ::GetLastError();
        const bool taken = error == ERROR_LOCK_VIOLATION || error == ERROR_IO_PENDING;
        if (taken)
            holder_ = folderLockHolderShown(readText(handle));
        ::CloseHandle(handle);
        return taken ? Outcome::Taken : Outcome::Unavailable;
    }
    state_->handle = handle;
    const QByteArray text = folderLockHolderText();
    DWORD written = 0;
    OVERLAPPED start{};
    // The text only informs: the lock holds whether or not it could be written.
    if (writable && ::SetFilePointer(handle, 0, nullptr, FILE_BEGIN) == 0 && ::SetEndOfFile(handle))
        ::WriteFile(handle, text.constData(), static_cast<DWORD>(text.size()), &written, &start);
    return Outcome::Held;
}

}  // namespace dokivo::platform
