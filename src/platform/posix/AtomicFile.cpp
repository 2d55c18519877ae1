#include "platform/AtomicFile.h"

#include <fcntl.h>
#include <unistd.h>

namespace dokivo::platform {

void syncFolder(const QString& folder) {
    const QByteArray native = QFile::encodeName(folder.isEmpty() ? QStringLiteral(".") : folder);
    const int fd = ::open(native.constData(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (fd < 0)
        return;
    ::fsync(fd);
    ::close(fd);
}

bool syncFile(const QFile& file) {
    return ::fdatasync(file.handle()) == 0;
}

}  // namespace dokivo::platform
