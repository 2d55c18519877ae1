#include "platform/Paths.h"

#include <QCoreApplication>
#include <QDir>
#include <QFileInfo>
#include <QStandardPaths>
#include <QTemporaryFile>

namespace dokivo::platform {

namespace {

bool canCreateFilesIn(const QString& folder) {
#ifdef Q_OS_WIN
    // The attributes Qt reads on Windows do not tell: a folder below "Program Files" looks
    // writable to a user who may not write there. A file made and removed at once does.
    QTemporaryFile probe(withTrailingSeparator(folder) + QStringLiteral("dokivo-prova-XXXXXX.tmp"));
    return probe.open();
#else
    const QFileInfo info(folder);
    return info.isDir() && info.isWritable();
#endif
}

}  // namespace

QString applicationFolder() {
    return withTrailingSeparator(QDir::toNativeSeparators(QCoreApplication::applicationDirPath()));
}

QString recordFolderFor(const QString& applicationFolder) {
    if (canCreateFilesIn(applicationFolder))
        return withTrailingSeparator(applicationFolder);
    QString data = QStandardPaths::writableLocation(QStandardPaths::AppLocalDataLocation);
    if (data.isEmpty())
        data = QDir::homePath() + QStringLiteral("/.dokivo");
    QDir().mkpath(data);
    return withTrailingSeparator(QDir::toNativeSeparators(data));
}

}  // namespace dokivo::platform
