#include "platform/ArrivalCheck.h"

#include <QFile>

#ifdef Q_OS_LINUX
#include <fcntl.h>
#include <unistd.h>

#include <cerrno>
#include <csignal>
#include <mutex>
#elif defined(Q_OS_WIN)
#include "platform/WindowsFile.h"
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
#elif defined(Q_OS_WIN)
    // A program writing the file holds it open with write access, so an open that lets others
    // only read meets a sharing violation, as a hot-folder consumer's lock check does. The
    // file is closed again at once. (Under wine only the opens of Windows programs count: a
    // Linux program writing the file is not seen.)
    WinHandle probe(CreateFileW(win32Path(path).c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr,
                                OPEN_EXISTING, FILE_FLAG_OPEN_REPARSE_POINT, nullptr));
    if (probe.valid())
        return false;
    const DWORD err = GetLastError();
    if (err == ERROR_SHARING_VIOLATION || err == ERROR_LOCK_VIOLATION)
        return true;
    if (err == ERROR_FILE_NOT_FOUND || err == ERROR_PATH_NOT_FOUND)
        return false;  // the copy will report what is wrong with it
    return tooYoung(modified, now);
#else
    Q_UNUSED(path);
    return tooYoung(modified, now);
#endif
}

}  // namespace dokivo::platform
