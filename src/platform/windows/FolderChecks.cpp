#include "platform/FolderChecks.h"

#include <QFileInfo>

#include "platform/detail/FolderChecks.h"

// Qt's switch for asking NTFS access rights instead of the read-only attribute, which says
// nothing about folders. Wine answers from the host's permissions, which Windows may not match.
extern Q_CORE_EXPORT int qt_ntfs_permission_lookup;

namespace dokivo::platform {

Qt::CaseSensitivity detail::fileNameCase() {
    return Qt::CaseInsensitive;
}

bool folderIsWritable(const QString& folder) {
    ++qt_ntfs_permission_lookup;
    const QFileInfo info(folder);
    const bool writable = info.isDir() && info.isWritable();
    --qt_ntfs_permission_lookup;
    return writable;
}

}  // namespace dokivo::platform
