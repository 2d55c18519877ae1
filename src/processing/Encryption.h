#pragma once

#include <QString>

namespace dokivo {

class MainModule;

enum class EncryptionOutcome { NotAttempted, Encrypted, Failed };

// Has the document input folder + destination name protected by the outside tool, replacing it
// in the input folder with the protected copy. `step` follows the work for the error line.
EncryptionOutcome encryptDocument(MainModule& module, const QString& inputFolder,
                                  const QString& destinationName, int& step);

}  // namespace dokivo
