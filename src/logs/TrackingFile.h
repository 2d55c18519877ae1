#pragma once

#include <QString>

namespace dokivo {

class OperationsLog;

inline const QString kTrackingFileName = QStringLiteral("Dokivo_tracking.txt");

// The general log folder: the dir_log_generale setting or, when it is empty, the folder of the
// pass record files (the program folder when it is writable, else the per-user data folder);
// ending with the separator.
QString trackingFolder(const QString& dir_log_generale, const QString& recordsFolder);

// Appends every line of the operations list to "Dokivo_tracking.txt" in `folder` and empties the
// list. A flush that cannot write keeps the lines for the next flush, so the history is never
// lost to a missing folder.
void flushTrackingFile(OperationsLog& operations, const QString& folder);

}  // namespace dokivo
