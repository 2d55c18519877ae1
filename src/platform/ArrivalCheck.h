#pragma once

#include <QDateTime>
#include <QString>

namespace dokivo::platform {

// Whether another program is still writing the file, so that it must wait for a later pass.
// Where the system can tell (on Linux a read lease is refused while any process holds the file
// open for writing; on Windows an open that denies writers meets a sharing violation) that
// answers; elsewhere a file modified less than two seconds ago counts as arriving.
bool isStillArriving(const QString& path, const QDateTime& modified, const QDateTime& now);

}  // namespace dokivo::platform
