#include "platform/AtomicFile.h"

#include <QFile>
#include <QSaveFile>

#include "platform/Paths.h"

#ifndef Q_OS_WIN
#include <fcntl.h>
#include <unistd.h>
#endif

namespace dokivo::platform {

QString folderOf(const QString& path) {
    const qsizetype cut = path.lastIndexOf(separatorChar());
    return cut < 0 ? QString() : path.left(cut + 1);
}

void syncFolder(const QString& folder) {
#ifndef Q_OS_WIN
    const QByteArray native = QFile::encodeName(folder.isEmpty() ? QStringLiteral(".") : folder);
    const int fd = ::open(native.constData(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (fd < 0)
        return;
    ::fsync(fd);
    ::close(fd);
#else
    Q_UNUSED(folder);
#endif
}

bool replaceFileAtomically(const QString& path, const QByteArray& content) {
    // QSaveFile writes a temporary file beside the target, flushes it to disk on commit and
    // renames it over the target, keeping an existing file's permissions.
    QSaveFile file(path);
    if (!file.open(QIODevice::WriteOnly))
        return false;
    if (file.write(content) != content.size()) {
        file.cancelWriting();
        return false;
    }
    if (!file.commit())
        return false;
    syncFolder(folderOf(path));
    return true;
}

}  // namespace dokivo::platform
