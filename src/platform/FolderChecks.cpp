#include "platform/FolderChecks.h"

#include <QDir>
#include <QFileInfo>

#include "platform/detail/FolderChecks.h"

namespace dokivo::platform {

namespace {

// The folder's real path, "/" separated and ending with "/".
QString comparablePath(const QString& folder) {
    const QFileInfo info(QDir::fromNativeSeparators(folder));
    QString path = info.exists() ? info.canonicalFilePath() : QString();
    if (path.isEmpty())
        path = QDir::cleanPath(info.absoluteFilePath());
    return path.endsWith(QLatin1Char('/')) ? path : path + QLatin1Char('/');
}

}  // namespace

FolderRelation folderRelation(const QString& folder, const QString& other) {
    const QString a = comparablePath(folder);
    const QString b = comparablePath(other);
    const Qt::CaseSensitivity nameCase = detail::fileNameCase();
    if (a.compare(b, nameCase) == 0)
        return FolderRelation::Same;
    if (a.startsWith(b, nameCase))
        return FolderRelation::Inside;
    return FolderRelation::Apart;
}

}  // namespace dokivo::platform
