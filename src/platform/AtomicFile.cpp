#include "platform/AtomicFile.h"

#include <QFile>
#include <QSaveFile>

#include "platform/Paths.h"

#ifndef Q_OS_WIN
#include <fcntl.h>
#include <unistd.h>
#else
#include "platform/WindowsFile.h"
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
    // Windows flushes a folder through a handle opened for writing; where the file system or
    // the rights refuse it, the write-through renames have made the names durable already.
    const QString path = folder.isEmpty() ? QStringLiteral(".") : folder;
    WinHandle handle(CreateFileW(win32Path(path).c_str(), GENERIC_WRITE,
                                 FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr,
                                 OPEN_EXISTING, FILE_FLAG_BACKUP_SEMANTICS, nullptr));
    if (handle.valid())
        FlushFileBuffers(handle.get());
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
