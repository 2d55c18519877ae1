#include "platform/AtomicFile.h"

#include <QSaveFile>

#include "platform/Paths.h"

namespace dokivo::platform {

QString folderOf(const QString& path) {
    const qsizetype cut = path.lastIndexOf(separatorChar());
    return cut < 0 ? QString() : path.left(cut + 1);
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
