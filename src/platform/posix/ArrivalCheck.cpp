#include "platform/detail/ArrivalCheck.h"

#include <fcntl.h>
#include <unistd.h>

#include <QFile>
#include <cerrno>
#include <csignal>
#include <mutex>

namespace dokivo::platform::detail {

// A read lease is refused while any process holds the file open for writing.
Writers askForWriters(const QString& path) {
    // A lease is taken and given back at once; should a writer open the file in between, the
    // kernel's lease-break signal must not end the program.
    static std::once_flag quietLeaseBreaks;
    std::call_once(quietLeaseBreaks, [] { std::signal(SIGIO, SIG_IGN); });

    const int fd =
        ::open(QFile::encodeName(path).constData(), O_RDONLY | O_NONBLOCK | O_NOFOLLOW | O_CLOEXEC);
    if (fd < 0)
        return Writers::None;  // the copy will report what is wrong with it
    if (::fcntl(fd, F_SETLEASE, F_RDLCK) == 0) {
        ::fcntl(fd, F_SETLEASE, F_UNLCK);
        ::close(fd);
        return Writers::None;
    }
    const int err = errno;
    ::close(fd);
    if (err == EAGAIN || err == EBUSY)
        return Writers::Some;
    return Writers::Unknown;
}

}  // namespace dokivo::platform::detail
