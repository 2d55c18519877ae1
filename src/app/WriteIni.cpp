#include "app/WriteIni.h"

#include "app/MainModule.h"
#include "platform/IniFile.h"

namespace dokivo {

void WriteIni(MainModule& module, const QString& section, const QString& key, const QString& value,
              const QString& file) {
    if (platform::writeProfileString(section, key, value, file))
        return;
    if (module.operations.longerThanThreshold())
        module.flushTrackingFile();
    module.addLineAndRefresh(QStringLiteral(" Errore in scrittura nel file ") + file);
}

}  // namespace dokivo
