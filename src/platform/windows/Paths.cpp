#include "platform/detail/Paths.h"

#include <QTemporaryFile>

#include "platform/Paths.h"

namespace dokivo::platform::detail {

bool canCreateFilesIn(const QString& folder) {
    // The attributes Qt reads on Windows do not tell: a folder below "Program Files" looks
    // writable to a user who may not write there. A file made and removed at once does.
    QTemporaryFile probe(withTrailingSeparator(folder) + QStringLiteral("dokivo-prova-XXXXXX.tmp"));
    return probe.open();
}

}  // namespace dokivo::platform::detail
