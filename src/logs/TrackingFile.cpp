#include "logs/TrackingFile.h"

#include "logs/OperationsLog.h"
#include "platform/FileSystem.h"
#include "platform/Paths.h"
#include "platform/TextCodec.h"

namespace dokivo {

QString trackingFolder(const QString& dir_log_generale, const QString& recordsFolder) {
    return platform::withTrailingSeparator(dir_log_generale.isEmpty() ? recordsFolder : dir_log_generale);
}

void flushTrackingFile(OperationsLog& operations, const QString& folder) {
    QByteArray bytes;
    for (const QString& line : operations.lines()) {
        bytes += platform::encodeRecordText(line);
        bytes += "\r\n";
    }
    if (platform::appendToFile(folder + kTrackingFileName, bytes))
        operations.clear();
}

}  // namespace dokivo
