#include "platform/FolderLock.h"

#include <QCoreApplication>
#include <QFileInfo>
#include <QSysInfo>

namespace dokivo::platform {

bool isFolderLockName(const QString& name) {
    return name.compare(kFolderLockName, Qt::CaseInsensitive) == 0;
}

QByteArray folderLockHolderText() {
    const QString program = QFileInfo(QCoreApplication::applicationFilePath()).fileName();
    return (QSysInfo::machineHostName() + QLatin1Char(' ') + program + QStringLiteral(" (pid ") +
            QString::number(QCoreApplication::applicationPid()) + QStringLiteral(")\r\n"))
        .toUtf8();
}

QString folderLockHolderShown(const QByteArray& text) {
    // Whatever the file holds (another version, a hand edit): one line of limited length.
    QString shown = QString::fromUtf8(text.left(512)).simplified();
    shown.truncate(200);
    return shown;
}

}  // namespace dokivo::platform
