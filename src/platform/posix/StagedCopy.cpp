#include <fcntl.h>
#include <stdio.h>
#include <sys/stat.h>
#include <unistd.h>

#include <QFile>
#include <cerrno>

#include "platform/RunError.h"
#include "platform/StagedCopy.h"

namespace dokivo::platform {

namespace {

qint64 nanoseconds(const struct timespec& t) {
    return qint64(t.tv_sec) * 1000000000 + t.tv_nsec;
}

DocumentState stateOf(const struct stat& st) {
    return {st.st_size, nanoseconds(st.st_mtim)};
}

// Which end of a copy failed.
enum class FailedSide { None, Source, Target };

// Copies every byte from the start of `from` and counts them. On failure says which end failed,
// with errno set.
FailedSide copyAll(int from, int to, off_t* total) {
    *total = 0;
    if (::lseek(from, 0, SEEK_SET) != 0)
        return FailedSide::Source;
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

DocumentState documentState(const QString& path) {
    struct stat st {};
    if (::lstat(QFile::encodeName(path).constData(), &st) != 0 || !S_ISREG(st.st_mode))
        return {};
    return stateOf(st);
}

void StagedCopy::closeHandle() {
    if (handle_ >= 0)
        ::close(static_cast<int>(handle_));
    handle_ = -1;
}

StagedCopy::~StagedCopy() {
    closeHandle();
    if (pending_)
        ::unlink(QFile::encodeName(temporary_).constData());
}

void StagedCopy::flush() {
    const int fd = static_cast<int>(handle_);
    handle_ = -1;
    const bool synced = ::fdatasync(fd) == 0;
    const int syncError = errno;
    const bool closed = ::close(fd) == 0;  // a failed close can be a failed write
    if (!synced)
        throwFromErrno(syncError, target_);
    if (!closed)
        throwFromErrno(errno, target_);
}

void StagedCopy::commit() {
    if (::rename(QFile::encodeName(temporary_).constData(), QFile::encodeName(target_).constData()) != 0)
        throwFromErrno(errno, target_);
    pending_ = false;
}

bool StagedCopy::commitUnlessTaken() {
    const QByteArray from = QFile::encodeName(temporary_);
    const QByteArray to = QFile::encodeName(target_);
    // A hard link takes only a free name, on NFS too; where the file system makes no links, the
    // rename that does not replace, then (a file system with neither) a look before the rename.
    if (::link(from.constData(), to.constData()) == 0) {
        ::unlink(from.constData());
        pending_ = false;
        return true;
    }
    if (errno != EEXIST &&
        ::renameat2(AT_FDCWD, from.constData(), AT_FDCWD, to.constData(), RENAME_NOREPLACE) == 0) {
        pending_ = false;
        return true;
    }
    if (errno == EEXIST)
        return false;
    struct stat st {};
    if (::lstat(to.constData(), &st) == 0)
        return false;
    commit();
    return true;
}

OpenDocument::OpenDocument(const QString& path) : path_(path) {
    // Not blocking: a FIFO that took the listed file's name would otherwise wait for a writer.
    const int fd =
        ::open(QFile::encodeName(path).constData(), O_RDONLY | O_NOFOLLOW | O_NONBLOCK | O_CLOEXEC);
    if (fd < 0)
        throwSourceErrorFromErrno(errno == ELOOP ? ENOENT : errno, path);
    handle_ = fd;
    struct stat st {};
    if (::fstat(fd, &st) != 0) {
        const int err = errno;
        ::close(fd);
        throwSourceErrorFromErrno(err, path);
    }
    if (!S_ISREG(st.st_mode)) {
        ::close(fd);
        throw SourceError(errnum::FileNotFound, path);
    }
    state_ = stateOf(st);
}

OpenDocument::~OpenDocument() {
    ::close(static_cast<int>(handle_));
}

StagedCopy OpenDocument::copyTo(const QString& target, const QString& temporary, bool targetExists) {
    const int in = static_cast<int>(handle_);
    struct stat source {};
    ::fstat(in, &source);
    // Copying a file onto itself would end with its deletion as the "source".
    struct stat existing {};
    if (targetExists && ::stat(QFile::encodeName(target).constData(), &existing) == 0 &&
        existing.st_dev == source.st_dev && existing.st_ino == source.st_ino)
        throw RunError(errnum::PermissionDenied, target);

    const int out = ::open(QFile::encodeName(temporary).constData(),
                           O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC | O_NOFOLLOW, 0666);
    if (out < 0)
        throwFromErrno(errno, target, true);
    StagedCopy copy(temporary, target, out);  // from here a failure removes the temporary file

    off_t copied = 0;
    switch (copyAll(in, out, &copied)) {
        case FailedSide::Source:
            throwSourceErrorFromErrno(errno, path_);
        case FailedSide::Target:
            throwFromErrno(errno, target);
        case FailedSide::None:
            break;
    }
    const struct timespec times[2] = {source.st_atim, source.st_mtim};
    ::futimens(out, times);

    struct stat after {};
    if (::fstat(in, &after) != 0)
        throwSourceErrorFromErrno(errno, path_);
    if (stateOf(after) != state_ || copied != state_.size)
        throw SourceError(errnum::PermissionDenied, path_);
    return copy;
}

}  // namespace dokivo::platform
