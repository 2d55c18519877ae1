#pragma once

#include <QString>

namespace dokivo {

class MainModule;

inline const QString kTrackingFileName = QStringLiteral("Dokivo_tracking.txt");

// Appends every line of the operations list to "Dokivo_tracking.txt" in the general log folder
// (the application folder when none is set) and empties the list. A flush that cannot write
// keeps the lines for the next flush, so the history is never lost to a missing folder.
void flushTrackingFile(MainModule& module);

}  // namespace dokivo
