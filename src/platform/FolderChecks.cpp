#include "platform/FolderChecks.h"

#include <QDir>
#include <QFileInfo>

#ifdef Q_OS_WIN
// Qt's switch for asking NTFS access rights instead of the read-only attribute, which says
// nothing about folders. Wine answers from the host's permissions, which Windows may not match.
extern Q_CORE_EXPORT int qt_ntfs_permission_lookup;
#endif

namespace dokivo::platform {

namespace {

// Names are case-insensitive on Windows and case-sensitive elsewhere.
#ifdef Q_OS_WIN
constexpr Qt::CaseSensitivity kNameCase = Qt::CaseInsensitive;
#else
constexpr Qt::CaseSensitivity kNameCase = Qt::CaseSensitive;
#endif

// The folder's real path, "/" separated and ending with "/".
QString comparablePath(const QString& folder) {
    const QFileInfo info(QDir::fromNativeSeparators(folder));
    QString path = info.exists() ? info.canonicalFilePath() : QString();
    if (path.isEmpty())
        path = QDir::cleanPath(info.absoluteFilePath());
    return path.endsWith(QLatin1Char('/')) ? path : path + QLatin1Char('/');
}

}  // namespace

bool folderIsWritable(const QString& folder) {
#ifdef Q_OS_WIN
    ++qt_ntfs_permission_lookup;
#endif
    // On Linux this asks access(2), which also refuses immutable folders and read-only mounts.
    const QFileInfo info(folder);
    const bool writable = info.isDir() && info.isWritable();
#ifdef Q_OS_WIN
    --qt_ntfs_permission_lookup;
#endif
    return writable;
}

FolderRelation folderRelation(const QString& folder, const QString& other) {
    const QString a = comparablePath(folder);
    const QString b = comparablePath(other);
    if (a.compare(b, kNameCase) == 0)
        return FolderRelation::Same;
    if (a.startsWith(b, kNameCase))
        return FolderRelation::Inside;
    return FolderRelation::Apart;
}

}  // namespace dokivo::platform
