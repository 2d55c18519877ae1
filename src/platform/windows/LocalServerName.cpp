#include "platform/LocalServerName.h"

namespace dokivo::platform {

QString localServerPath(const QString& name) {
    return QStringLiteral("\\\\.\\pipe\\") + name;
}

bool removeLeftoverLocalServer(const QString&) {
    return false;  // a pipe ends with the process that made it
}

}  // namespace dokivo::platform
