#include "logs/TrackingFile.h"

#include "app/MainModule.h"
#include "platform/FileSystem.h"
#include "platform/Paths.h"
#include "platform/TextCodec.h"

namespace dokivo {

void flushTrackingFile(MainModule& module) {
    QString& folder = module.settings.dir_log_generale;
    // Without a setting the history goes where the record files go: the program folder when it
    // is writable, else the per-user data folder.
    if (folder.isEmpty())
        folder = module.folders.records;
    folder = platform::withTrailingSeparator(folder);

    QByteArray bytes;
    for (const QString& line : module.operations.lines()) {
        bytes += platform::encodeRecordText(line);
        bytes += "\r\n";
    }
    if (platform::appendToFile(folder + kTrackingFileName, bytes))
        module.operations.clear();
}

}  // namespace dokivo
