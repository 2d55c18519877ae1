#include "platform/FolderChecks.h"

#include <QFileInfo>

#include "platform/detail/FolderChecks.h"

namespace dokivo::platform {

Qt::CaseSensitivity detail::fileNameCase() {
    return Qt::CaseSensitive;
}

bool folderIsWritable(const QString& folder) {
    // This asks access(2), which also refuses immutable folders and read-only mounts.
    const QFileInfo info(folder);
    return info.isDir() && info.isWritable();
}

}  // namespace dokivo::platform
