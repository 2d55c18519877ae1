#include "platform/ArrivalCheck.h"

#include <QFile>

#ifdef Q_OS_LINUX
#include <fcntl.h>
#include <unistd.h>

#include <cerrno>
#include <csignal>
#include <mutex>
#endif

namespace dokivo::platform {

namespace {
constexpr qint64 kSettleMs = 2000;

bool tooYoung(const QDateTime& modified, const QDateTime& now) {
    return modified.msecsTo(now) < kSettleMs;
}
}  // namespace

bool isStillArriving(const QString& path, const QDateTime& modified, const QDateTime& now) {
#ifdef Q_OS_LINUX
    // A lease is taken and given back at once; should a writer open the file in between, the
    // kernel's lease-break signal must not end the program.
    static std::once_flag quietLeaseBreaks;
    std::call_once(quietLeaseBreaks, [] { std::signal(SIGIO, SIG_IGN); });

    const int fd =
        ::open(QFile::encodeName(path).constData(), O_RDONLY | O_NONBLOCK | O_NOFOLLOW | O_CLOEXEC);
    if (fd < 0)
        return false;  // the copy will report what is wrong with it
    if (::fcntl(fd, F_SETLEASE, F_RDLCK) == 0) {
        ::fcntl(fd, F_SETLEASE, F_UNLCK);
        ::close(fd);
        return false;
    }
    const int err = errno;
    ::close(fd);
    if (err == EAGAIN || err == EBUSY)
        return true;
    return tooYoung(modified, now);
#else
    Q_UNUSED(path);
    return tooYoung(modified, now);
#endif
}

}  // namespace dokivo::platform
