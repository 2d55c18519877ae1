#pragma once

#include <QByteArray>
#include <QString>

namespace dokivo::platform {

// Text files are UTF-8; a file that is not valid UTF-8 is taken as Windows-1252, so files
// written on Windows read correctly.
QString decodeText(const QByteArray& bytes);

QString decodeWindows1252(const QByteArray& bytes);

// The bytes of a line of the record files and the tracking file: on Windows the system's ANSI
// code page (as the programs that read those files expect; a character it lacks becomes its
// nearest equivalent or "?"), elsewhere UTF-8.
QByteArray encodeRecordText(const QString& text);

}  // namespace dokivo::platform
