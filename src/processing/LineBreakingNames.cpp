#include "processing/LineBreakingNames.h"

namespace dokivo {

bool breaksRecordLines(const QString& name) {
    return name.contains(QLatin1Char('\t')) || name.contains(QLatin1Char('\r')) ||
           name.contains(QLatin1Char('\n'));
}

QString withLineBreaksShown(const QString& name) {
    QString shown = name;
    shown.replace(QLatin1Char('\t'), QLatin1String("<TAB>"));
    shown.replace(QLatin1Char('\r'), QLatin1String("<CR>"));
    shown.replace(QLatin1Char('\n'), QLatin1String("<LF>"));
    return shown;
}

}  // namespace dokivo
