#include "platform/Paths.h"

#include <QCoreApplication>
#include <QDir>
#include <QStandardPaths>

#include "platform/detail/Paths.h"

namespace dokivo::platform {

QString applicationFolder() {
    return withTrailingSeparator(QDir::toNativeSeparators(QCoreApplication::applicationDirPath()));
}

QString recordFolderFor(const QString& applicationFolder) {
    if (detail::canCreateFilesIn(applicationFolder))
        return withTrailingSeparator(applicationFolder);
    QString data = QStandardPaths::writableLocation(QStandardPaths::AppLocalDataLocation);
    if (data.isEmpty())
        data = QDir::homePath() + QStringLiteral("/.dokivo");
    QDir().mkpath(data);
    return withTrailingSeparator(QDir::toNativeSeparators(data));
}

}  // namespace dokivo::platform
