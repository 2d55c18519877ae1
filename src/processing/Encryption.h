#pragma once

#include <QString>

namespace dokivo {

class MainModule;

enum class EncryptionOutcome { NotAttempted, Encrypted, Failed };

// Has the document input folder + source name protected by the outside tool "encryptpdf.exe"
// of the application folder, with the slot's password from "ao.dat" or the standard one, and
// replaces the document in the input folder with the protected copy, so delivery files that.
// Not attempted when the slot's switch is off or the tool is missing; failed (the document
// stays as it was) when the tool leaves no protected copy. The operation lines name the
// destination name. `step` follows the work for the folder pass's error line.
EncryptionOutcome encryptDocument(MainModule& module, const QString& inputFolder, const QString& sourceName,
                                  const QString& destinationName, int& step);

}  // namespace dokivo
