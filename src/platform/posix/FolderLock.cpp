#include "platform/FolderLock.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <QFile>
#include <cerrno>

namespace dokivo::platform {

// The lock belongs to the open file description (not to the process, as a classic record lock
// does): a second description in the same process is refused too, and it goes when the
// description is closed, by the FolderLock or by the kernel at the holder's end.
struct FolderLock::State {
    int fd = -1;
};

FolderLock::FolderLock() : state_(std::make_unique<State>()) {}

FolderLock::~FolderLock() {
    if (state_->fd >= 0)
        ::close(state_->fd);
}

namespace {

QByteArray readText(int fd) {
    char buffer[512];
    const ssize_t n = ::pread(fd, buffer, sizeof buffer, 0);
    return n > 0 ? QByteArray(buffer, n) : QByteArray();
}

}  // namespace

FolderLock::Outcome FolderLock::tryLock(const QString& folder) {
    holder_.clear();
    const QByteArray path = QFile::encodeName(folder + kFolderLockName);
    const int flags = O_NOFOLLOW | O_NONBLOCK | O_CLOEXEC;
    // A lock file another user made and this one may only read (a share between two accounts)
    // still takes a shared lock: it keeps out every installation that may write the file.
    int fd = ::open(path.constData(), O_RDWR | O_CREAT | flags, 0666);
    const bool writable = fd >= 0;
    if (!writable && errno == EACCES)
        fd = ::open(path.constData(), O_RDONLY | flags);
    struct stat st {};
    if (fd < 0 || ::fstat(fd, &st) != 0 || !S_ISREG(st.st_mode)) {
        if (fd >= 0)
            ::close(fd);
        return Outcome::Unavailable;
    }
    struct flock lock {};
    lock.l_type = writable ? F_WRLCK : F_RDLCK;
    lock.l_whence = SEEK_SET;
    lock.l_start = kFolderLockedByte;
    lock.l_len = 1;
    if (::fcntl(fd, F_OFD_SETLK, &lock) != 0) {
        const bool taken = errno == EAGAIN || errno == EACCES;  // else ENOLCK: no locks on this share
        if (taken)
            holder_ = folderLockHolderShown(readText(fd));
        ::close(fd);
        return taken ? Outcome::Taken : Outcome::Unavailable;
    }
    state_->fd = fd;
    const QByteArray text = folderLockHolderText();
    // The text only informs: the lock holds whether or not it could be written.
    if (writable && ::ftruncate(fd, 0) == 0) {
        [[maybe_unused]] const ssize_t written =
            ::pwrite(fd, text.constData(), static_cast<size_t>(text.size()), 0);
    }
    return Outcome::Held;
}

}  // namespace dokivo::platform
