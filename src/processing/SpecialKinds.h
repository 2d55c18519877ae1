#pragma once

#include <QString>

namespace dokivo {

// FORMATOATENE slots take only names of 16 characters whose characters 5 to 12 are a number
// and whose first four characters are one of the configured prefixes (any prefix when none is
// configured). `formatMarker` is empty for every other slot, where the filter lets all pass.
bool passesFormatoateneFilter(const QString& destinationName, const QString& formatMarker,
                              const QString& prefixes);

// The PODSITIR rule on a destination name: the "POD_" name it becomes, or why it does not.
struct PodsitirResult {
    enum class Kind { Renamed, Rejected, NoMarker } kind = Kind::NoMarker;
    QString name;  // the new destination name when renamed
};
PodsitirResult applyPodsitir(const QString& destinationName, const QString& extension);

}  // namespace dokivo
