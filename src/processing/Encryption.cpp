#include "processing/Encryption.h"

#include "app/MainModule.h"

namespace dokivo {

EncryptionOutcome encryptDocument(MainModule&, const QString&, const QString&, int&) {
    return EncryptionOutcome::NotAttempted;
}

}  // namespace dokivo
