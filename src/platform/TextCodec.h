#pragma once

#include <QByteArray>
#include <QString>

namespace dokivo::platform {

// Text files are UTF-8; a file that is not valid UTF-8 is taken as Windows-1252, so files
// written on Windows read correctly.
QString decodeText(const QByteArray& bytes);

QString decodeWindows1252(const QByteArray& bytes);

}  // namespace dokivo::platform
