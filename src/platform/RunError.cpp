#include "platform/RunError.h"

#include <cerrno>

namespace dokivo::platform {

RunError::RunError(int number, QString path) : number_(number), path_(std::move(path)) {}

QString RunError::description() const {
    return describeError(number_);
}

QString describeError(int number) {
    switch (number) {
        case errnum::InvalidCall:
            return QStringLiteral("Chiamata di routine o argomento non validi");
        case errnum::BadFileName:
            return QStringLiteral("Nome o numero di file non valido");
        case errnum::FileNotFound:
            return QStringLiteral("Impossibile trovare il file");
        case errnum::DeviceIo:
            return QStringLiteral("Errore di I/O della periferica");
        case errnum::DiskFull:
            return QStringLiteral("Disco pieno");
        case errnum::PermissionDenied:
            return QStringLiteral("Autorizzazione negata");
        case errnum::PathFileAccess:
            return QStringLiteral("Errore di accesso al percorso/file");
        case errnum::PathNotFound:
            return QStringLiteral("Impossibile trovare il percorso");
        default:
            return QStringLiteral("Errore definito dall'applicazione o dall'oggetto");
    }
}

int errorNumberFromErrno(int err, bool pathContext) {
    switch (err) {
        case ENOENT:
            return pathContext ? errnum::PathNotFound : errnum::FileNotFound;
        case ENOTDIR:
            return errnum::PathNotFound;
        case EACCES:
        case EPERM:
        case EROFS:
        case EBUSY:
        case ETXTBSY:
        case EWOULDBLOCK:  // opened without waiting while another program holds a lease on it
            return errnum::PermissionDenied;
        case ENOSPC:
#ifdef EDQUOT
        case EDQUOT:
#endif
        case EFBIG:
            return errnum::DiskFull;
        case EIO:
            return errnum::DeviceIo;
        case ENAMETOOLONG:
        case EINVAL:
        case EILSEQ:
            return errnum::BadFileName;
        default:
            return errnum::PathFileAccess;
    }
}

void throwFromErrno(int err, const QString& path, bool pathContext) {
    throw RunError(errorNumberFromErrno(err, pathContext), path);
}

void throwSourceErrorFromErrno(int err, const QString& path) {
    throw SourceError(errorNumberFromErrno(err), path);
}

}  // namespace dokivo::platform
