#include "platform/Paths.h"

#include <QCoreApplication>
#include <QDir>
#include <QFileInfo>
#include <QStandardPaths>

namespace dokivo::platform {

QString applicationFolder() {
    return withTrailingSeparator(QDir::toNativeSeparators(QCoreApplication::applicationDirPath()));
}

QString recordFolderFor(const QString& applicationFolder) {
    const QFileInfo info(applicationFolder);
    if (info.isDir() && info.isWritable())
        return withTrailingSeparator(applicationFolder);
    QString data = QStandardPaths::writableLocation(QStandardPaths::AppLocalDataLocation);
    if (data.isEmpty())
        data = QDir::homePath() + QStringLiteral("/.dokivo");
    QDir().mkpath(data);
    return withTrailingSeparator(QDir::toNativeSeparators(data));
}

}  // namespace dokivo::platform
