#pragma once

#include <QString>

namespace dokivo {

// Record files are tab-separated lines and the tracking file keeps one operation line per line:
// a name holding a tab, a carriage return or a line feed would shift a record's columns or split
// a line. Such a name is never written as it stands.
bool breaksRecordLines(const QString& name);

// The name for an operation line, each tab, carriage return and line feed shown as "<TAB>",
// "<CR>" and "<LF>".
QString withLineBreaksShown(const QString& name);

}  // namespace dokivo
