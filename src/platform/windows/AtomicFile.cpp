#include "platform/AtomicFile.h"

#include <io.h>

#include "platform/windows/WindowsFile.h"

namespace dokivo::platform {

void syncFolder(const QString& folder) {
    // Windows flushes a folder through a handle opened for writing; where the file system or
    // the rights refuse it, the write-through renames have made the names durable already.
    const QString path = folder.isEmpty() ? QStringLiteral(".") : folder;
    WinHandle handle(CreateFileW(win32Path(path).c_str(), GENERIC_WRITE,
                                 FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr,
                                 OPEN_EXISTING, FILE_FLAG_BACKUP_SEMANTICS, nullptr));
    if (handle.valid())
        FlushFileBuffers(handle.get());
}

bool syncFile(const QFile& file) {
    return ::FlushFileBuffers(reinterpret_cast<HANDLE>(::_get_osfhandle(file.handle()))) != 0;
}

}  // namespace dokivo::platform
