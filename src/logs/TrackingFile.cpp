#include "logs/TrackingFile.h"

#include "app/MainModule.h"
#include "platform/FileSystem.h"
#include "platform/Paths.h"

namespace dokivo {

void flushTrackingFile(MainModule& module) {
    QString& folder = module.settings.dir_log_generale;
    if (folder.isEmpty())
        folder = module.folders.application;
    folder = platform::withTrailingSeparator(folder);

    QByteArray bytes;
    for (const QString& line : module.operations.lines()) {
        bytes += line.toUtf8();
        bytes += "\r\n";
    }
    if (platform::appendToFile(folder + kTrackingFileName, bytes))
        module.operations.clear();
}

}  // namespace dokivo
