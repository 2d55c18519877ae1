#include "platform/detail/Paths.h"

#include <QFileInfo>

namespace dokivo::platform::detail {

bool canCreateFilesIn(const QString& folder) {
    const QFileInfo info(folder);
    return info.isDir() && info.isWritable();
}

}  // namespace dokivo::platform::detail
