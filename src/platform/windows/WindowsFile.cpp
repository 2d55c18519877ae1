#include "platform/windows/WindowsFile.h"

#include <QDir>
#include <QFileInfo>

#include "platform/RunError.h"

namespace dokivo::platform {

namespace {
constexpr DWORD kDiskQuotaExceeded = 1295;  // ERROR_DISK_QUOTA_EXCEEDED, which mingw's headers lack
}  // namespace

std::wstring win32Path(const QString& path) {
    // A folder path needs room for a file name of 8.3 characters after it.
    constexpr qsizetype kClassicLimit = MAX_PATH - 12;
    const QString native = QDir::toNativeSeparators(path);
    if (native.size() < kClassicLimit || native.startsWith(QLatin1String("\\\\?\\")))
        return native.toStdWString();
    // The prefix turns off every rewriting of the path, so it must be absolute and clean.
    QString absolute = QDir::toNativeSeparators(QDir::cleanPath(QFileInfo(path).absoluteFilePath()));
    if (path.endsWith(QLatin1Char('/')) || path.endsWith(QLatin1Char('\\')))
        absolute += QLatin1Char('\\');
    if (absolute.startsWith(QLatin1String("\\\\")))
        return (QLatin1String("\\\\?\\UNC\\") + absolute.mid(2)).toStdWString();
    return (QLatin1String("\\\\?\\") + absolute).toStdWString();
}

int errorNumberFromWindowsError(DWORD code, bool pathContext) {
    switch (code) {
        case ERROR_FILE_NOT_FOUND:
            return pathContext ? errnum::PathNotFound : errnum::FileNotFound;
        case ERROR_PATH_NOT_FOUND:
        case ERROR_INVALID_DRIVE:
        case ERROR_DIRECTORY:
        case ERROR_BAD_NETPATH:
        case ERROR_BAD_NET_NAME:
            return errnum::PathNotFound;
        case ERROR_ACCESS_DENIED:
        case ERROR_SHARING_VIOLATION:
        case ERROR_LOCK_VIOLATION:
        case ERROR_WRITE_PROTECT:
        case ERROR_NETWORK_ACCESS_DENIED:
        case ERROR_CURRENT_DIRECTORY:
        case ERROR_USER_MAPPED_FILE:
            return errnum::PermissionDenied;
        case ERROR_DISK_FULL:
        case ERROR_HANDLE_DISK_FULL:
        case kDiskQuotaExceeded:
        case ERROR_FILE_TOO_LARGE:
            return errnum::DiskFull;
        case ERROR_CRC:
        case ERROR_IO_DEVICE:
        case ERROR_GEN_FAILURE:
        case ERROR_NOT_READY:
        case ERROR_SECTOR_NOT_FOUND:
        case ERROR_READ_FAULT:
        case ERROR_WRITE_FAULT:
        case ERROR_DEV_NOT_EXIST:
        case ERROR_UNEXP_NET_ERR:
        case ERROR_NETNAME_DELETED:
            return errnum::DeviceIo;
        case ERROR_INVALID_NAME:
        case ERROR_BAD_PATHNAME:
        case ERROR_FILENAME_EXCED_RANGE:
            return errnum::BadFileName;
        default:
            return errnum::PathFileAccess;
    }
}

void throwLastWindowsError(const QString& path, bool pathContext) {
    throw RunError(errorNumberFromWindowsError(::GetLastError(), pathContext), path);
}

}  // namespace dokivo::platform
