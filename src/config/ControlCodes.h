#pragma once

#include <QString>

namespace dokivo {

// The parameter text that alone, in these capitals and nothing else, makes a FORMATOATENE slot.
inline const QString kFormatoateneMarker = QStringLiteral("FORMATOATENE");

// The control codes of a slot's parameter text.
struct ControlCodes {
    bool doclibero = false;
    bool sololog = false;
    bool podsitir = false;
    bool sihsit = false;
    QString abbin_value;
    QString dircgd_value;
};

// DOCLIBERO, SOLOLOG, PODSITIR and SIHSIT anywhere and in any letter case; the values of "ABBIN:"
// and "DIRCGD=", each up to the next ";" or the end of the text, with their letters as written.
ControlCodes readControlCodes(const QString& parameters);

// The value that follows the first `code` (any letter case) up to the next ";" or the end of
// the text; `found` tells whether the code stands in the text at all.
QString codeValue(const QString& parameters, const QString& code, bool* found = nullptr);

}  // namespace dokivo
