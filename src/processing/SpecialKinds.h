#pragma once

#include <QString>

namespace dokivo {

// FORMATOATENE slots take only names of 16 characters whose characters 5 to 12 are a number
// and whose first four characters are one of the configured prefixes (`prefixes`: four-character
// prefixes separated by ";"; any prefix when none is configured). `formatMarker` is
// "FORMATOATENE" in such a slot and empty in every other, where the filter lets all pass.
bool passesFormatoateneFilter(const QString& destinationName, const QString& formatMarker,
                              const QString& prefixes);

// The PODSITIR rule on a destination name: the "POD_" name it becomes, or why it does not.
// Markers are "POD__", "Envio_nº___" and "POD_", found case-sensitively; three type digits
// ("005", "004" or "003") must follow at their fixed distance, else the name is rejected.
// `extension` is the source name's extension without the dot, kept in its letter case.
struct PodsitirResult {
    enum class Kind { Renamed, Rejected, NoMarker } kind = Kind::NoMarker;
    QString name;  // the new destination name when renamed
};
PodsitirResult applyPodsitir(const QString& destinationName, const QString& extension);

}  // namespace dokivo
