#pragma once

#include <QString>

namespace dokivo::platform {

// Where the system keeps a local server's name (QLocalServer, QLocalSocket): a socket file in
// the temporary folder, or on Windows a named pipe, which ends with its process and so is never
// left behind.
QString localServerPath(const QString& name);

// Removes the name's socket file, which a server that was killed leaves behind. Anything else
// by that name (a folder, a file) is not a socket of ours and stays. False when nothing was
// removed.
bool removeLeftoverLocalServer(const QString& name);

}  // namespace dokivo::platform
