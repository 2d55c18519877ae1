#include "platform/DurableCopy.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <QFile>
#include <cerrno>

#include "platform/AtomicFile.h"
#include "platform/RunError.h"

namespace dokivo::platform {

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

}  // namespace dokivo::platform
