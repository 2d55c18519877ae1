#include "platform/LocalServerName.h"

#include <sys/stat.h>
#include <unistd.h>

#include <QDir>
#include <QFile>

namespace dokivo::platform {

QString localServerPath(const QString& name) {
    return name.startsWith(QLatin1Char('/')) ? name
                                             : QDir::cleanPath(QDir::tempPath()) + QLatin1Char('/') + name;
}

bool removeLeftoverLocalServer(const QString& name) {
    const QByteArray path = QFile::encodeName(localServerPath(name));
    struct stat st {};
    return ::lstat(path.constData(), &st) == 0 && S_ISSOCK(st.st_mode) && ::unlink(path.constData()) == 0;
}

}  // namespace dokivo::platform
