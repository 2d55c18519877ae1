#include "platform/detail/ArrivalCheck.h"
#include "platform/windows/WindowsFile.h"

namespace dokivo::platform::detail {

Writers askForWriters(const QString& path) {
    // A program writing the file holds it open with write access, so an open that lets others
    // only read meets a sharing violation, as a hot-folder consumer's lock check does. The
    // file is closed again at once. (Under wine only the opens of Windows programs count: a
    // Linux program writing the file is not seen.)
    WinHandle probe(CreateFileW(win32Path(path).c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr,
                                OPEN_EXISTING, FILE_FLAG_OPEN_REPARSE_POINT, nullptr));
    if (probe.valid())
        return Writers::None;
    const DWORD err = GetLastError();
    if (err == ERROR_SHARING_VIOLATION || err == ERROR_LOCK_VIOLATION)
        return Writers::Some;
    if (err == ERROR_FILE_NOT_FOUND || err == ERROR_PATH_NOT_FOUND)
        return Writers::None;  // the copy will report what is wrong with it
    return Writers::Unknown;
}

}  // namespace dokivo::platform::detail
