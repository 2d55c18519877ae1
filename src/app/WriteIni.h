#pragma once

#include <QString>

namespace dokivo {

class MainModule;

// Writes one value; a failure adds " Errore in scrittura nel file " and the path (after a flush
// of the operations list when it holds more than 500 lines) and repaints the list.
void WriteIni(MainModule& module, const QString& section, const QString& key, const QString& value,
              const QString& file);

}  // namespace dokivo
