#pragma once

#include <QString>

namespace dokivo {

struct SlotContext;

// Reads the control codes of the slot's parameter text into the context: DOCLIBERO, SOLOLOG,
// PODSITIR and SIHSIT anywhere and in any letter case; the values of "ABBIN:" and "DIRCGD=",
// each up to the next ";" or the end of the text, with their letters as written.
void readControlCodes(SlotContext& ctx);

// The value that follows the first `code` (any letter case) up to the next ";" or the end of
// the text; `found` tells whether the code stands in the text at all.
QString codeValue(const QString& parameters, const QString& code, bool* found = nullptr);

}  // namespace dokivo
