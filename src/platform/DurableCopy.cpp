#include "platform/DurableCopy.h"

#include <QFile>

#include "platform/AtomicFile.h"
#include "platform/RunError.h"

#ifndef Q_OS_WIN
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#else
#include <vector>

#include "platform/WindowsFile.h"
#endif

namespace dokivo::platform {

bool isTemporaryCopyName(const QString& name) {
    return name.startsWith(QLatin1String(".~dokivo"));
}

PreparedCopy::PreparedCopy(PreparedCopy&& other) noexcept
    : temporary_(std::move(other.temporary_)), target_(std::move(other.target_)), pending_(other.pending_) {
    other.pending_ = false;
}

PreparedCopy::~PreparedCopy() {
    if (pending_)
        QFile::remove(temporary_);
}

void copyFileDurably(const QString& source, const QString& target) {
    PreparedCopy::prepare(source, target).commit();
}

#ifndef Q_OS_WIN
namespace {

class Fd {
  public:
    explicit Fd(int fd) : fd_(fd) {}
    ~Fd() {
        if (fd_ >= 0)
            ::close(fd_);
    }
    Fd(const Fd&) = delete;
    Fd& operator=(const Fd&) = delete;
    int get() const { return fd_; }
    // Closes now and reports the outcome: a failed close can be a failed write.
    bool close() {
        const int fd = fd_;
        fd_ = -1;
        return ::close(fd) == 0;
    }

  private:
    int fd_;
};

bool sameState(const struct stat& a, const struct stat& b) {
    return a.st_size == b.st_size && a.st_mtim.tv_sec == b.st_mtim.tv_sec &&
           a.st_mtim.tv_nsec == b.st_mtim.tv_nsec;
}

// Which end of a copy failed.
enum class FailedSide { None, Source, Target };

// Copies every byte and counts them. On failure says which end failed, with errno set.
FailedSide copyAll(int from, int to, off_t* total) {
    *total = 0;
    bool kernelCopy = true;
    char buffer[1 << 16];
    for (;;) {
        if (kernelCopy) {
            const ssize_t n = ::copy_file_range(from, nullptr, to, nullptr, 1 << 30, 0);
            if (n < 0 && errno == EINTR)
                continue;
            // The kernel's copy cannot say which end failed: the plain copy goes on from the
            // same offsets and tells (a lasting fault fails there again).
            if (n < 0) {
                kernelCopy = false;
                continue;
            }
            if (n == 0)
                return FailedSide::None;
            *total += n;
            continue;
        }
        const ssize_t n = ::read(from, buffer, sizeof buffer);
        if (n < 0 && errno == EINTR)
            continue;
        if (n < 0)
            return FailedSide::Source;
        if (n == 0)
            return FailedSide::None;
        for (ssize_t done = 0; done < n;) {
            const ssize_t w = ::write(to, buffer + done, static_cast<size_t>(n - done));
            if (w < 0 && errno == EINTR)
                continue;
            if (w <= 0)
                return FailedSide::Target;
            done += w;
        }
        *total += n;
    }
}

}  // namespace

PreparedCopy PreparedCopy::prepare(const QString& source, const QString& target) {
    const QByteArray src = QFile::encodeName(source);
    const QString temporary = folderOf(target) + kTemporaryCopyName;
    const QByteArray tmp = QFile::encodeName(temporary);

    // Not blocking: a FIFO that took the listed file's name would otherwise wait for a writer.
    Fd in(::open(src.constData(), O_RDONLY | O_NOFOLLOW | O_NONBLOCK | O_CLOEXEC));
    if (in.get() < 0)
        throwSourceErrorFromErrno(errno == ELOOP ? ENOENT : errno, source);
    struct stat before {};
    if (::fstat(in.get(), &before) != 0)
        throwSourceErrorFromErrno(errno, source);
    if (!S_ISREG(before.st_mode))
        throw SourceError(errnum::FileNotFound, source);

    // Copying a file onto itself would end with its deletion as the "source".
    struct stat existing {};
    if (::stat(QFile::encodeName(target).constData(), &existing) == 0 && existing.st_dev == before.st_dev &&
        existing.st_ino == before.st_ino)
        throw RunError(errnum::PermissionDenied, target);

    Fd out(::open(tmp.constData(), O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC | O_NOFOLLOW, 0666));
    if (out.get() < 0)
        throwFromErrno(errno, target, true);
    PreparedCopy copy(temporary, target);  // from here a failure removes the temporary file

    off_t copied = 0;
    switch (copyAll(in.get(), out.get(), &copied)) {
        case FailedSide::Source:
            throwSourceErrorFromErrno(errno, source);
        case FailedSide::Target:
            throwFromErrno(errno, target);
        case FailedSide::None:
            break;
    }
    const struct timespec times[2] = {before.st_atim, before.st_mtim};
    ::futimens(out.get(), times);
    if (::fdatasync(out.get()) != 0)
        throwFromErrno(errno, target);
    if (!out.close())
        throwFromErrno(errno, target);

    struct stat after {};
    if (::fstat(in.get(), &after) != 0)
        throwSourceErrorFromErrno(errno, source);
    if (!sameState(before, after) || copied != before.st_size)
        throw SourceError(errnum::PermissionDenied, source);
    return copy;
}

void PreparedCopy::commitLeavingFolderUnflushed() {
    if (::rename(QFile::encodeName(temporary_).constData(), QFile::encodeName(target_).constData()) != 0)
        throwFromErrno(errno, target_);
    pending_ = false;
}

void PreparedCopy::commit() {
    commitLeavingFolderUnflushed();
    syncFolder(folderOf(target_));
}
#else
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

}  // namespace

PreparedCopy PreparedCopy::prepare(const QString& source, const QString& target) {
    const QString temporary = folderOf(target) + kTemporaryCopyName;

    WinHandle in(openSource(source));
    if (!in.valid())
        throwLastWindowsError(source);
    BY_HANDLE_FILE_INFORMATION before{};
    if (!GetFileInformationByHandle(in.get(), &before))
        throwLastWindowsError(source);
    if ((before.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) || GetFileType(in.get()) != FILE_TYPE_DISK)
        throw RunError(errnum::FileNotFound, source);

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
        throwLastWindowsError(source);
    const qint64 size = (qint64(before.nFileSizeHigh) << 32) | before.nFileSizeLow;
    if (!sameState(before, after) || copied != size)
        throw RunError(errnum::PermissionDenied, source);
    return copy;
}

void PreparedCopy::commitLeavingFolderUnflushed() {
    // Write-through: the call returns once the new name is on disk.
    if (!MoveFileExW(win32Path(temporary_).c_str(), win32Path(target_).c_str(),
                     MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH))
        throwLastWindowsError(target_);
    pending_ = false;
}

void PreparedCopy::commit() {
    commitLeavingFolderUnflushed();
    syncFolder(folderOf(target_));
}
#endif

bool sameContent(const QString& a, const QString& b) {
    QFile fa(a);
    QFile fb(b);
    if (!fa.open(QIODevice::ReadOnly) || !fb.open(QIODevice::ReadOnly) || fa.size() != fb.size())
        return false;
    while (!fa.atEnd()) {
        if (fa.read(1 << 16) != fb.read(1 << 16))
            return false;
    }
    return true;
}

}  // namespace dokivo::platform
